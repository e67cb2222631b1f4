# Two commands do everything: `make run` and `make test`.
BUILD ?= build
PACKAGES := cmake ninja-build g++ qt6-base-dev qt6-base-dev-tools qt6-svg-dev \
            libqt6sql6-sqlite libqt6sql6-psql qt6-translations-l10n xvfb xdotool \
            libgl-dev sqlite3 postgresql pgbouncer openssl \
            dbus-daemon at-spi2-core python3-pyatspi

.PHONY: deps build run test clean install screenshot test-sanitize bench bench-chain fuzz

deps:
	@missing=""; for p in $(PACKAGES); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "install ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "Installiere:$$missing"; \
	  SUDO=; [ "$$(id -u)" = 0 ] || SUDO=sudo; \
	  $$SUDO apt-get update -qq && DEBIAN_FRONTEND=noninteractive $$SUDO apt-get install -y -qq $$missing; \
	fi

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: $(BUILD)/build.ninja
	cmake --build $(BUILD)

run: deps build
	@tools/run-wexo.sh $(BUILD)

test: deps build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure

# The whole suite once more under AddressSanitizer and UndefinedBehaviorSanitizer.
# use_tls=0: LeakSanitizer's tracer crashes reading the thread-local data of
# GLib's threads (which key handling through the platform theme starts); what
# only thread-local data holds is then reported, and GLib's own is suppressed.
test-sanitize: deps
	cmake -S . -B $(BUILD)-sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DWEXO_SANITIZE=ON
	cmake --build $(BUILD)-sanitize
	cd $(BUILD)-sanitize && QT_QPA_PLATFORM=offscreen \
	  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/tools/lsan.supp:print_suppressions=0:use_tls=0 \
	  UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 ctest --output-on-failure

bench: deps build
	$(BUILD)/bench/wexo_bench $(BUILD)/app/wexo $(BUILD)/bench/bare_window $(BUILD)/pictures
	$(MAKE) --no-print-directory bench-chain

# A chain of 1,000 simulated workstations, directly, through PgBouncer and with the server
# restarted halfway (about a minute each).
bench-chain: deps build
	$(BUILD)/bench/wexo_chain --workstations 1000 --rate 20 --seconds 20
	$(BUILD)/bench/wexo_chain --workstations 1000 --rate 20 --seconds 20 --pooler
	$(BUILD)/bench/wexo_chain --workstations 1000 --rate 20 --seconds 20 --restart

# Each fuzz target runs FUZZ_SECONDS from the seeds in fuzz/corpus; new inputs and
# findings land in build-fuzz, so the repository's seeds stay as they are.
FUZZ_SECONDS ?= 60
fuzz: deps
	CXX=clang++ cmake -S . -B $(BUILD)-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DWEXO_FUZZ=ON
	cmake --build $(BUILD)-fuzz --target fuzz_commatext fuzz_import fuzz_dockinglayout fuzz_dockstate
	for t in commatext import dockinglayout dockstate; do \
	  mkdir -p $(BUILD)-fuzz/findings/$$t $(BUILD)-fuzz/corpus/$$t && \
	  QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0 $(BUILD)-fuzz/fuzz/fuzz_$$t \
	    -max_total_time=$(FUZZ_SECONDS) -max_len=65536 -artifact_prefix=$(BUILD)-fuzz/findings/$$t/ \
	    $(BUILD)-fuzz/corpus/$$t fuzz/corpus/$$t || exit 1; \
	done

# make install [PREFIX=/usr/local] [DESTDIR=/tmp/paket]
PREFIX ?= /usr/local
install: deps build
	cmake --install $(BUILD) --prefix $(PREFIX)

screenshot: deps build
	tools/screenshot.sh $(BUILD) docs/screenshot.png

clean:
	rm -rf $(BUILD)
