# Wraps CMake; `make run` and `make test` set up everything they need.
BUILD      ?= build
BUILD_TYPE ?= Release
JOBS       ?= $(shell nproc 2>/dev/null || echo 2)
PACKAGES   := cmake g++ make pkg-config libsdl2-dev libgtest-dev
SUDO       := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: all deps configure build run test bench sanitize fuzz format clean

all: build

# Installs only what is missing, so a set-up machine pays nothing.
deps:
	@missing=""; for p in $(PACKAGES); do \
	  dpkg -s $$p >/dev/null 2>&1 || missing="$$missing $$p"; done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  $(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get update -q && \
	  $(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get install -y -q $$missing; \
	fi

configure: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

# Exit code 3 from the game means no display could be opened.
run: build
	@cd $(BUILD) && { ./morvek $(ARGS); rc=$$?; \
	  if [ $$rc -eq 3 ]; then \
	    echo "No display could be opened: running the demo headless, screenshots go to $(BUILD)/shots/"; \
	    mkdir -p shots && ./morvek --headless --script ../scripts/demo.txt; rc=$$?; \
	  fi; exit $$rc; }

test: build
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

bench: build
	@cd $(BUILD) && ./morvek-bench

format:
	@clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	@rm -rf $(BUILD)

# Installs the game, its pictures, a desktop entry and an icon under PREFIX.
PREFIX ?= /usr/local
.PHONY: install
install: build
	@cmake --install $(BUILD) --prefix $(PREFIX)
