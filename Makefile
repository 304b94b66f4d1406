# The two commands of a fresh machine: `make demo` and `make test`.
# QT=6 builds against Qt 6 instead of Qt 5, in build-qt6/.
QT ?= 5
ifeq ($(QT),5)
BUILD ?= build
else
BUILD ?= build-qt$(QT)
endif
JOBS ?= $(shell nproc)

.PHONY: setup configure build demo test bench clean

setup:
	bash scripts/setup

configure: setup
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZT_QT_MAJOR=$(QT) >/dev/null

build: configure
	cmake --build $(BUILD) -j $(JOBS)

demo: build
	BUILD=$(BUILD) bash scripts/demo out

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

bench: build
	bash scripts/bench $(BUILD)

clean:
	rm -rf $(BUILD) out
