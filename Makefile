BUILD_DIR ?= build
JOBS ?= 2
BUILD_DIST = $(BUILD_DIR)/dist

.PHONY: all deps configure build run test install uninstall clean

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

# For the current user: the program folder to ~/.local/share/sonaveil, the menu entry and icons.
install: build
	@bash scripts/install-user.sh install $(BUILD_DIST)

uninstall:
	@bash scripts/install-user.sh uninstall

clean:
	rm -rf $(BUILD_DIR)
