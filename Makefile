# Wraps CMake; `make run` and `make test` set up everything they need.
BUILD      ?= build
BUILD_TYPE ?= Release
JOBS       ?= $(shell nproc 2>/dev/null || echo 2)
# A hung test fails after ten minutes rather than holding the whole run;
# a run that finds no test at all fails too.
CTEST_FLAGS := --output-on-failure --timeout 600 --no-tests=error
# libcurl for the leaderboard's requests: the system's TLS and certificates
PACKAGES   := cmake g++ make pkg-config libsdl2-dev libgtest-dev libcurl4-openssl-dev
# What the tests need beyond the build: a real window on a virtual display,
# driven by xdotool. CI (CI=true) fails a test that skips for want of these.
TEST_PACKAGES := xvfb xauth xdotool
# The leaderboard server's libraries (make test builds and tests it too)
SERVER_PACKAGES := libcpp-httplib-dev libsqlite3-dev libpq-dev libssl-dev
SUDO       := $(shell [ "$$(id -u)" = 0 ] || echo sudo)
# As project() in CMakeLists.txt sets it, for the names of the zip and the package
VERSION    := $(shell sed -n 's/^project.Morvek VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)

.PHONY: all deps test-deps server-deps configure build run test mutants bench sanitize sanitize-build fuzz soak replay-update format clean
.PHONY: windows windows-deps windows-build windows-test

all: build

# Installs only what is missing, so a set-up machine pays nothing.
define install-missing
	@missing=""; for p in $(1); do \
	  dpkg -s $$p >/dev/null 2>&1 || missing="$$missing $$p"; done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  $(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 update -q && \
	  $(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 install -y -q $(2) $$missing; \
	fi
endef

deps:
	$(call install-missing,$(PACKAGES))

test-deps:
	$(call install-missing,$(TEST_PACKAGES))

server-deps:
	$(call install-missing,$(SERVER_PACKAGES))

configure: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

# Exit code 3 from the game means no display could be opened.
run: build
	@cd $(BUILD) && { ./morvek $(ARGS); rc=$$?; \
	  if [ $$rc -eq 3 ]; then \
	    echo "No display could be opened: running the demo headless, screenshots go to $(BUILD)/shots/"; \
	    mkdir -p shots && ./morvek --headless --script $(CURDIR)/recordings/autopilot.txt; rc=$$?; \
	  fi; exit $$rc; }

# The suites are out of the default build; all-tests builds them and all
# else ctest runs.
test: server-deps build test-deps
	@cmake --build $(BUILD) -j $(JOBS) --target all-tests
	@cd $(BUILD) && ctest $(CTEST_FLAGS) -j $(JOBS)

# Small faults put into the code one at a time (scripts/mutants.txt), each
# rebuilt and tested: how many the suite catches. Slow, so never run in CI.
mutants: configure
	@scripts/mutants.sh $(BUILD)

bench: build
	@cmake --build $(BUILD) -j $(JOBS) --target morvek-bench
	@cd $(BUILD) && ./morvek-bench

# Re-records the kept autopilot game and stores the states its replay must
# reach. Only for a change of the game's behaviour that is meant.
REPLAY_DIR := $(abspath $(BUILD))/replay-record
replay-update: build
	@cmake --build $(BUILD) -j $(JOBS) --target replay_test session_replay_test
	@rm -rf $(REPLAY_DIR) && mkdir -p $(REPLAY_DIR)/shots && ln -s ../Media $(REPLAY_DIR)/Media
	@cd $(REPLAY_DIR) && ../morvek --headless --autopilot --autopilot-shots shots \
	  --record $(CURDIR)/recordings/autopilot.txt
	@cd $(BUILD) && MORVEK_REPLAY_UPDATE=1 ./replay_test --gtest_filter='Replay.*'
	@cd $(BUILD) && MORVEK_REPLAY_UPDATE=1 ./session_replay_test --gtest_filter='Sessions.Each*'

# AddressSanitizer with UndefinedBehaviorSanitizer over the tests and a whole
# autopilot game, then ThreadSanitizer over the display's and the music's suites
# (the music is synthesised on a thread of its own).
# At -O1, as the sanitizers advise: their builds compile in less than half
# the time of -O2's, which their stage spent most of its time on.
SAN_FLAGS := -DCMAKE_BUILD_TYPE=RelWithDebInfo '-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O1 -DNDEBUG' \
  -DCMAKE_CXX_FLAGS=-fno-sanitize-recover=all
export ASAN_OPTIONS  := detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS := print_stacktrace=1:halt_on_error=1
export TSAN_OPTIONS  := halt_on_error=1:second_deadlock_stack=1
TSAN_TESTS := display_window_test run_test music_test http_client_test leaderboard_sender_test

sanitize-build: deps test-deps
	@cmake -S . -B build-asan $(SAN_FLAGS) -DMORVEK_SANITIZE=address,undefined >/dev/null
	@cmake --build build-asan -j $(JOBS) --target all-tests

# The two slowest suites replay whole sessions over and over, through code
# the other suites take through under the sanitizers too (the side game in
# the replay shelf's, the verifier in verify_test's); under ASan they cost
# four minutes of the stage's budget, so they run natively only.
ASAN_SKIP := side_game_test|server_game_test
sanitize: sanitize-build
	@cd build-asan && ctest $(CTEST_FLAGS) -j $(JOBS) -E '^($(ASAN_SKIP))$$'
	@cd build-asan && timeout -s KILL 1200 ./morvek --headless --autopilot
	@cmake -S . -B build-tsan $(SAN_FLAGS) -DMORVEK_SANITIZE=thread >/dev/null
	@cmake --build build-tsan -j $(JOBS) --target $(TSAN_TESTS)
	@cd build-tsan && ctest $(CTEST_FLAGS) -R '^($(subst $() ,|,$(TSAN_TESTS)))$$'

# Each libFuzzer target for FUZZ_SECONDS; what a run finds lands in
# build-fuzz/crash-* and belongs in fuzz/regressions/ once fixed.
FUZZ_SECONDS ?= 60
FUZZ_TARGETS := scores script picture settings submission
FUZZ_FLAGS := -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMORVEK_FUZZ=ON \
  -DMORVEK_SANITIZE=address,undefined \
  '-DCMAKE_CXX_FLAGS=-fsanitize=fuzzer-no-link -fno-sanitize-recover=all'
fuzz: deps server-deps
	@cmake -S . -B build-fuzz $(FUZZ_FLAGS) >/dev/null
	@cmake --build build-fuzz -j $(JOBS) --target $(addsuffix _fuzz,$(FUZZ_TARGETS))
	@cd build-fuzz && for t in $(FUZZ_TARGETS); do \
	  mkdir -p corpus/$$t && echo "Fuzzing $$t for $(FUZZ_SECONDS) s" && \
	  ./$${t}_fuzz -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 -artifact_prefix=crash-$$t- \
	    corpus/$$t $(CURDIR)/fuzz/seeds/$$t $(CURDIR)/fuzz/regressions/$$t >$$t.log 2>&1; \
	  rc=$$?; grep -E 'stat::number_of_executed_units|stat::peak_rss' $$t.log; \
	  if [ $$rc -ne 0 ]; then tail -40 $$t.log; exit 1; fi; done

# The autopilot for 100 000 ticks under the sanitizers; memory must hold steady.
SOAK_TICKS ?= 100000
soak: sanitize-build
	@cd build-asan && ./morvek --headless --autopilot-ticks $(SOAK_TICKS)

format:
	@clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	@rm -rf $(BUILD)

# Installs the game, its pictures, a desktop entry and an icon under PREFIX.
PREFIX ?= /usr/local
.PHONY: install
install: build
	@cmake --install $(BUILD) --prefix $(PREFIX)

# The game as a web page: build-web/ holds index.html and what it loads, and
# nothing else, so any static web host can serve it. Emscripten and the test
# browser come from Debian, installed only when missing and apart from
# PACKAGES, so `make test` needs neither.
WEB_PACKAGES := emscripten chromium nodejs python3
WEB_OBJ      := build-web-obj
export NODE_PATH ?= /usr/share/nodejs
# The tests drive Chromium and Firefox with puppeteer-core (no browser of its
# own), installed once into a cache outside the clone, keyed by its version.
WEB_TEST_PACKAGES := firefox-esr xvfb xauth xdotool
WEB_CACHE         ?= $(or $(XDG_CACHE_HOME),$(HOME)/.cache)/morvek
PUPPETEER_VERSION := 24.43.1
PUPPETEER         := $(WEB_CACHE)/npm-puppeteer-core-$(PUPPETEER_VERSION)
.PHONY: web-deps web-test-deps web serve web-test web-bench

web-deps:
	@$(MAKE) --no-print-directory deps PACKAGES="$(WEB_PACKAGES)"

# npm comes with some builds of nodejs, and from its own package in Debian's.
web-test-deps: web-deps
	@$(MAKE) --no-print-directory deps PACKAGES="$(WEB_TEST_PACKAGES)"
	@command -v npm >/dev/null || $(MAKE) --no-print-directory deps PACKAGES=npm
	@[ -f $(PUPPETEER)/.complete ] || { rm -rf $(PUPPETEER) && mkdir -p $(PUPPETEER) && \
	  PUPPETEER_SKIP_DOWNLOAD=1 npm_config_cache=$(WEB_CACHE)/npm-cache npm install --silent \
	    --prefix $(PUPPETEER) --no-save --no-package-lock --no-audit --no-fund \
	    puppeteer-core@$(PUPPETEER_VERSION) && touch $(PUPPETEER)/.complete; }

web: web-deps
	@emcmake cmake -S . -B $(WEB_OBJ) -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build $(WEB_OBJ) -j $(JOBS)
	@rm -rf build-web && mkdir -p build-web
	@cp $(addprefix $(WEB_OBJ)/,index.html morvek.js morvek.wasm morvek-media.js morvek-media.wasm) build-web/
	@cp web/online.js build-web/

serve: web
	@python3 web/serve.py build-web

web-test: web build server-deps web-test-deps
	@cmake --build $(BUILD) -j $(JOBS) --target morvek-server
	@python3 web/browser_test.py --native $(BUILD)/morvek --page build-web \
	  --server $(BUILD)/morvek-server --puppeteer $(PUPPETEER)/node_modules \
	  --firefox $$(command -v firefox-esr)

# WEB_BENCH_AGAINST=DIR measures another build of the page in turn with this one.
web-bench: web build
	@python3 web/browser_test.py --native $(BUILD)/morvek --page build-web --bench \
	    $(if $(WEB_BENCH_AGAINST),--against $(WEB_BENCH_AGAINST))

# Windows: cross-built with mingw-w64 and tested under Wine. SDL2 and
# GoogleTest are built once into a cache outside the clone, keyed by version.
WINDOWS_BUILD    ?= build-windows
WINDOWS_PACKAGES := g++-mingw-w64-x86-64-posix wine64 googletest xvfb xauth python3
WINDOWS_CACHE    ?= $(or $(XDG_CACHE_HOME),$(HOME)/.cache)/morvek
WINDOWS_DEPS     := $(WINDOWS_CACHE)/mingw64-sdl2-2.26.5
WINE             := /usr/lib/wine/wine64
WINE_PREFIX      := $(WINDOWS_CACHE)/wine64-prefix
WINDOWS_ENV      := WINEPREFIX=$(WINE_PREFIX) WINEDEBUG=-all
WINDOWS_ZIP_DIR  := $(WINDOWS_BUILD)/zip/morvek
WINDOWS_ZIP      := $(WINDOWS_BUILD)/morvek-$(VERSION)-windows.zip

windows-deps:
	$(call install-missing,$(WINDOWS_PACKAGES),--no-install-recommends)
	@[ -f $(WINDOWS_DEPS)/.complete ] || { echo "Building SDL2 and GoogleTest for Windows into $(WINDOWS_DEPS)"; \
	  scripts/windows-deps.sh $(WINDOWS_DEPS); }
	@mkdir -p $(WINE_PREFIX)

# The pictures are the native build's, so frames compare exactly.
windows-build: windows-deps build
	@cmake -S . -B $(WINDOWS_BUILD) -DCMAKE_BUILD_TYPE=Release \
	  -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-w64.cmake \
	  -DSDL2_DIR=$(WINDOWS_DEPS)/lib/cmake/SDL2 -DGTest_DIR=$(WINDOWS_DEPS)/lib/cmake/GTest \
	  -DMORVEK_MEDIA_FROM=$(abspath $(BUILD))/Media -DCMAKE_CROSSCOMPILING_EMULATOR=$(WINE) >/dev/null
	@cmake --build $(WINDOWS_BUILD) -j $(JOBS)

windows: windows-build
	@rm -rf $(WINDOWS_ZIP_DIR) $(WINDOWS_BUILD)/morvek-*windows.zip && mkdir -p $(WINDOWS_ZIP_DIR)/Media
	@cp $(WINDOWS_BUILD)/morvek.exe $(WINDOWS_ZIP_DIR)/
	@cp $(WINDOWS_BUILD)/Media/*.bmp $(WINDOWS_ZIP_DIR)/Media/
	@sed 's/$$/\r/' dist/windows/README.txt >$(WINDOWS_ZIP_DIR)/README.txt
	@sed 's/$$/\r/' LICENSE >$(WINDOWS_ZIP_DIR)/LICENSE.txt
	@cd $(WINDOWS_BUILD)/zip && cmake -E tar cf $(abspath $(WINDOWS_ZIP)) --format=zip morvek
	@echo "$(WINDOWS_ZIP)"

# One Wine server serves the whole run, as starting one per test costs
# seconds. Its prefix folder must exist before the server starts (windows-deps
# makes it); wineboot fills it when new and starts Wine's own services with
# their output in a log, away from ctest's: a service holding a test's
# output open keeps ctest waiting for that test forever. A failing step shows
# the end of its log. The server goes at the end, so no Wine process outlives
# the run. Last, the zip's game sends its games to the native leaderboard
# server on 127.0.0.1, and to a stand-in that fails (about 25 s).
WINESERVER := /usr/lib/wine/wineserver
WINE_LOGS  := $(WINDOWS_BUILD)/wine-logs
windows-test: server-deps windows
	@cmake --build $(WINDOWS_BUILD) -j $(JOBS) --target all-tests
	@cmake --build $(BUILD) -j $(JOBS) --target morvek-server
	@$(WINDOWS_ENV) $(WINESERVER) -k 2>/dev/null; $(WINDOWS_ENV) $(WINESERVER) -w 2>/dev/null; true
	@$(WINDOWS_ENV) scripts/quiet.sh $(WINE_LOGS)/wineserver.log $(WINESERVER) -p
	@$(WINDOWS_ENV) scripts/quiet.sh $(WINE_LOGS)/wineboot.log timeout -s KILL 600 $(WINE) wineboot
	@cd $(WINDOWS_BUILD) && $(WINDOWS_ENV) ctest $(CTEST_FLAGS) -j $(JOBS) && cd $(CURDIR) && \
	  $(WINDOWS_ENV) sh dist/windows/check-zip.sh $(WINDOWS_ZIP) $(WINE) $(BUILD)/morvek scripts/demo.txt && \
	  $(WINDOWS_ENV) python3 tests/windows/leaderboard-wine.py --wine $(WINE) \
	    --exe $(WINDOWS_ZIP_DIR)/morvek.exe --native $(BUILD)/morvek \
	    --server $(BUILD)/morvek-server --recording recordings/two-games.txt; \
	  rc=$$?; $(WINDOWS_ENV) $(WINESERVER) -k 2>/dev/null; exit $$rc

# The Debian package, built by CPack in its own tree: the game in /usr/games,
# its pictures in /usr/share/games/morvek. deb-test (not part of `make test`)
# unpacks it, checks its files and plays the demo with the unpacked game.
DEB_BUILD         ?= build-deb
DEB_PACKAGES      := dpkg-dev file
DEB_TEST_PACKAGES := lintian appstream desktop-file-utils
DEB               := $(DEB_BUILD)/package/morvek_$(VERSION)_$(shell dpkg --print-architecture).deb
.PHONY: deb deb-test

deb:
	$(call install-missing,$(PACKAGES) $(DEB_PACKAGES))
	@rm -f $(DEB_BUILD)/package/*.deb
	@cmake -S . -B $(DEB_BUILD) -DCMAKE_BUILD_TYPE=Release -DMORVEK_DEB=ON -DBUILD_TESTING=OFF >/dev/null
	@cmake --build $(DEB_BUILD) -j $(JOBS) --target deb-files
	@cd $(DEB_BUILD) && cpack >/dev/null
	@echo "$(DEB)"

deb-test: deb build
	$(call install-missing,$(DEB_TEST_PACKAGES))
	@sh dist/check-deb.sh $(DEB) $(BUILD)/morvek scripts/demo.txt

# The leaderboard: the game (its verifier), the browser build that Watch plays
# entries in (under /play/; the first time, this installs emscripten), and
# the server started on SQLite at 127.0.0.1.
LEADERBOARD_PORT ?= 8080
LEADERBOARD_DB   ?= $(abspath $(BUILD))/leaderboard.db
.PHONY: leaderboard leaderboard-test leaderboard-bench
leaderboard: server-deps build web
	@cmake --build $(BUILD) -j $(JOBS) --target morvek-server
	@$(BUILD)/morvek-server --address 127.0.0.1 --port $(LEADERBOARD_PORT) \
	  --database $(LEADERBOARD_DB) --play $(CURDIR)/build-web

# The server's suites again on a throw-away PostgreSQL (started by the tests
# themselves, as the user nobody), and the README's nginx configuration
# checked by nginx itself. CI runs this; a missing PostgreSQL fails there.
SERVER_TEST_PACKAGES := postgresql postgresql-common nginx openssl
leaderboard-test: server-deps build
	$(call install-missing,$(SERVER_TEST_PACKAGES))
	@cmake --build $(BUILD) -j $(JOBS) --target all-tests
	@cd $(BUILD) && MORVEK_SERVER_BACKEND=postgres ctest $(CTEST_FLAGS) -L server
	@sh server/tests/nginx-check.sh server/nginx.conf $(BUILD)

# Submissions, verifications and board reads on loopback, on SQLite and then
# PostgreSQL, bounded in count and time; the verifier's speed beside the
# game's own headless replay of the same recordings.
leaderboard-bench: server-deps build
	$(call install-missing,$(SERVER_TEST_PACKAGES))
	@cmake --build $(BUILD) -j $(JOBS) --target morvek-server fake-verifier server-bench
	@cd $(BUILD) && ./server-bench --backend sqlite && MORVEK_SERVER_BACKEND=postgres ./server-bench --backend postgres
