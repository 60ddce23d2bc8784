BUILD_DIR ?= build
JOBS ?= 2
BUILD_DIST = $(BUILD_DIR)/dist
# `make install` is for one user unless told otherwise: make install PREFIX=/usr/local DESTDIR=...
PREFIX ?= $(HOME)/.local
export DESTDIR

.PHONY: all deps configure build run test install uninstall deb clean

all: build

deps:
	@bash scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

build: configure
	@cmake --build $(BUILD_DIR) -j$(JOBS)

run: build
	@if [ -x $(BUILD_DIR)/dist/quietdeck ]; then exec $(BUILD_DIR)/dist/quietdeck; \
	else echo "The player is not part of this build yet; build/dist holds what is built."; fi

test: build
	@bash scripts/run-tests.sh $(BUILD_DIR)

# The install rules into PREFIX: programs in PREFIX/lib/sonaveil with links in PREFIX/bin, the menu
# entries, icons and file type under PREFIX/share. A current build is installed as it is (ninja
# has nothing to do); a missing one is configured first, and only what is installed is built.
install:
	@if [ ! -f $(BUILD_DIR)/build.ninja ]; then $(MAKE) --no-print-directory configure; fi
	@cmake --build $(BUILD_DIR) -j$(JOBS) --target installable
	@bash scripts/install-user.sh install $(BUILD_DIR) "$(PREFIX)"

uninstall:
	@bash scripts/install-user.sh uninstall "$(PREFIX)"

# A Debian package from the same install rules, in build/package/.
deb: configure
	@cmake --build $(BUILD_DIR) -j$(JOBS) --target installable
	@cd $(BUILD_DIR) && cpack -G DEB
	@ls $(BUILD_DIR)/package/*.deb

clean:
	rm -rf $(BUILD_DIR)
