# make run: set up if needed, build, start the clock under Wine.
# make test: set up if needed, build, run every test under Wine.
.PHONY: all setup build test lint run bench package screenshot clean

all: build

setup:
	@bash scripts/setup.sh

build: setup
	@cmake --preset mingw >/dev/null
	@cmake --build --preset mingw

test: build lint
	@bash scripts/test.sh

lint: setup
	@bash scripts/lint.sh

run: build
	@bash scripts/run.sh

bench: build
	@bash scripts/bench.sh

package: build
	@bash scripts/package.sh

# At 100 % and at 150 % (144 dpi).
screenshot: build
	@bash scripts/screenshot.sh docs/clock.png docs/menu.png docs/first-run.png
	@KALVORY_SCREEN_DPI=144 bash scripts/screenshot.sh docs/clock-150.png docs/menu-150.png

clean:
	rm -rf build
