# The two commands of a fresh machine: `make demo` and `make test`.
BUILD ?= build
JOBS ?= $(shell nproc)

.PHONY: setup configure build demo test bench clean

setup:
	bash scripts/setup

configure: setup
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

build: configure
	cmake --build $(BUILD) -j $(JOBS)

demo: build
	mkdir -p out
	QT_QPA_PLATFORM=offscreen $(BUILD)/bin/ztdemo out
	bash scripts/demo $(BUILD) out

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

bench: build
	bash scripts/bench $(BUILD)

clean:
	rm -rf $(BUILD) out
