# make run   — install what is missing, build, start Zelvitor
# make test  — install what is missing, build, run every test
BUILD      ?= build
BUILD_ASAN ?= build-asan
JOBS       ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: all deps configure build test test-asan run clean

all: build

deps:
	@./scripts/install-deps.sh

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS)

configure: deps $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD) -j $(JOBS)

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

$(BUILD_ASAN)/build.ninja:
	cmake -S . -B $(BUILD_ASAN) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DZELVITOR_SANITIZE=ON \
	  -DZELVITOR_BENCH=OFF $(CMAKE_FLAGS)

test-asan: deps $(BUILD_ASAN)/build.ninja
	cmake --build $(BUILD_ASAN) -j $(JOBS)
	cd $(BUILD_ASAN) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# make run              the simulated modem on a pseudo-terminal, Zelvitor on it
# make run PORT=/dev/ttyUSB0   Zelvitor on a real modem
# Settings of these runs stay in $(BUILD)/run.
run: configure
	cmake --build $(BUILD) -j $(JOBS) --target zelvitor zelvitor-modemsim
	./scripts/run.sh $(BUILD) $(PORT)

clean:
	rm -rf $(BUILD) $(BUILD_ASAN)
