# Sweepling: the commands named in the README.
BUILD      ?= build
ASAN_BUILD ?= build-asan
BENCH_BUILD ?= build-bench
JOBS       ?= $(shell nproc)
CMAKE_FLAGS ?=
DEMO_DIR   ?= $(BUILD)/demo-volume

export QT_QPA_PLATFORM ?= offscreen

.PHONY: all deps build demo test test-asan bench run clean

all: build

deps:
	@scripts/install-deps.sh

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS)

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

# Writes the sample infected volume, scans it, lists the stored report and
# writes it as a PDF.
DEMO_CLI = $(BUILD)/src/sweepling-cli --root $(DEMO_DIR) --user demo --settings $(BUILD)/demo-settings.ini
demo: build
	@rm -rf $(DEMO_DIR) $(BUILD)/demo-settings.ini
	$(BUILD)/src/sweepling-cli sample-volume $(DEMO_DIR) --user demo
	$(DEMO_CLI) scan quick; status=$$?; [ $$status -le 1 ] || exit $$status
	$(DEMO_CLI) reports list
	$(DEMO_CLI) reports pdf $$($(DEMO_CLI) reports list | head -n 1 | cut -d' ' -f1) $(BUILD)/demo-report.pdf
	@echo "PDF report: $(BUILD)/demo-report.pdf"

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# The whole suite again under AddressSanitizer and UndefinedBehaviorSanitizer.
test-asan: deps
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DSWEEPLING_SANITIZE=ON $(CMAKE_FLAGS)
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1 ctest --output-on-failure -j $(JOBS)

bench: deps
	cmake -S . -B $(BENCH_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DSWEEPLING_BUILD_BENCH=ON -DSWEEPLING_BUILD_TESTS=OFF
	cmake --build $(BENCH_BUILD) -j $(JOBS)
	scripts/run-bench.sh $(BENCH_BUILD)

run: build
	@if [ -x $(BUILD)/src/sweepling ]; then $(BUILD)/src/sweepling $(ARGS); \
	 else echo "The desktop application is not part of this build yet; use $(BUILD)/src/sweepling-cli."; fi

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(BENCH_BUILD)
