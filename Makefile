# Thin front door over the package installer and CMake.
BUILD ?= build
JOBS ?= $(shell nproc)

.PHONY: run test bench clean deps build

deps:
	@scripts/install-deps

build: deps
	@cmake -S . -B $(BUILD) -G Ninja >/dev/null
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	@$(BUILD)/tellvane

test: build
	@scripts/check-format
	@scripts/run-tests $(BUILD)

bench: build
	@cmake --build $(BUILD) --target benchmarks -j $(JOBS)
	@scripts/run-benches $(BUILD)

clean:
	@rm -rf $(BUILD)
