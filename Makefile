# make run: set up if needed, build, start the clock under Wine.
# make test: set up if needed, build, run every test under Wine.
.PHONY: all setup build test lint run bench package screenshot clean campaign soak

all: build

setup:
	@bash scripts/setup.sh

build: setup
	@cmake --preset mingw >/dev/null
	@cmake --build --preset mingw

test: build lint
	@bash scripts/test.sh

# 5,000 settings files from a fresh seed (KALVORY_CAMPAIGN_SEED replays one).
campaign: build
	@seed=$${KALVORY_CAMPAIGN_SEED:-$$(od -An -N4 -tu4 /dev/urandom | tr -d ' ')}; \
	echo "campaign: seed $$seed"; \
	KALVORY_CAMPAIGN_SEED=$$seed KALVORY_CAMPAIGN_FILES=$${KALVORY_CAMPAIGN_FILES:-5000} \
	bash scripts/test.sh -L unit_campaign -V

# 100,000 face rebuilds instead of the 20,000 of make test.
soak: build
	@KALVORY_SOAK_REBUILDS=100000 bash scripts/test.sh -R 'ClockTest.Soak' -V

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
