# make run: set up if needed, build, start the clock under Wine.
# make test: set up if needed, build, run every test under Wine.
.PHONY: all setup build test run screenshot clean

all: build

setup:
	@bash scripts/setup.sh

build: setup
	@cmake --preset mingw >/dev/null
	@cmake --build --preset mingw

test: build
	@bash scripts/test.sh

run: build
	@bash scripts/run.sh

screenshot: build
	@bash scripts/screenshot.sh docs/clock.png docs/menu.png

clean:
	rm -rf build
