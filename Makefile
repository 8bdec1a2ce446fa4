# Sweepling: the commands named in the README.
BUILD      ?= build
ASAN_BUILD ?= build-asan
BENCH_BUILD ?= build-bench
JOBS       ?= $(shell nproc)
CMAKE_FLAGS ?=
DEMO_DIR   ?= $(BUILD)/demo-volume

# The platform the user asked for, if any, before the tests' default below.
USER_QPA := $(if $(filter environment% command%,$(origin QT_QPA_PLATFORM)),$(QT_QPA_PLATFORM))
export QT_QPA_PLATFORM ?= offscreen

.PHONY: all deps build demo test test-asan bench run screenshots clean

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

# Opens the desktop application on a freshly written sample volume with its
# own settings file; ARGS=... passes more options (a later --root wins).
RUN_DIR      ?= $(BUILD)/run-volume
RUN_SETTINGS ?= $(BUILD)/run-settings.ini
RUN_QPA = $(filter-out offscreen% minimal%,$(USER_QPA))
run: build
	@if [ -z "$(RUN_QPA)" ] && [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ]; then \
	  echo "make run: there is no display to open the window on."; \
	  echo "Run it under a virtual display:   xvfb-run -a make run"; \
	  echo "or look at the windows as pictures:  make screenshots  (writes $(BUILD)/screenshots/)"; \
	  exit 2; fi
	@rm -rf $(RUN_DIR) $(RUN_SETTINGS)
	@$(BUILD)/src/sweepling-cli sample-volume $(RUN_DIR) --user demo >/dev/null
	env -u QT_QPA_PLATFORM $(if $(RUN_QPA),QT_QPA_PLATFORM=$(RUN_QPA)) \
	  $(BUILD)/src/sweepling --root $(RUN_DIR) --user demo --settings $(RUN_SETTINGS) $(ARGS)

# A picture of every window state built so far, at 100 % and 200 % scale,
# taken offscreen from the real windows on the sample volume.
SHOT_DIR      ?= $(BUILD)/screenshots
SHOT_VOLUME   ?= $(BUILD)/screenshot-volume
SHOT_SETTINGS ?= $(BUILD)/screenshot-settings.ini
SHOT_RUN = QT_QPA_PLATFORM=offscreen $(BUILD)/src/sweepling --root $(SHOT_VOLUME) --user demo --settings $(SHOT_SETTINGS) --screenshots $(SHOT_DIR)
screenshots: build
	@rm -rf $(SHOT_DIR) $(SHOT_VOLUME) $(SHOT_SETTINGS)
	@$(BUILD)/src/sweepling-cli sample-volume $(SHOT_VOLUME) --user demo >/dev/null
	$(SHOT_RUN)
	QT_SCALE_FACTOR=2 $(SHOT_RUN)
	@ls $(SHOT_DIR)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(BENCH_BUILD)
