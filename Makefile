# Entry point for people: build, run the installer on the demo medium, run the tests.
#   make run     build the Windows programs and the demo medium, start setup.exe under Wine
#                (without a DISPLAY it walks every screen by itself: build/win/screenshots)
#   make test    every test: the tree's style and layers, unit (native, then again with
#                ASan+UBSan), win and e2e under Wine
#   make unit | asan | wintest | e2e    one layer
#   make native | win | medium          builds only
#   make fuzz    every fuzz target for FUZZ_SECONDS (default 120) each, with a table of
#                executions, edges and findings (make test runs them briefly)
#   make bench   benchmarks (never part of the tests)
#   make format  apply the tree's code style (.clang-format)
#   make clean
JOBS ?= $(shell nproc)
# Sub-makes (the CMake builds) do not announce every folder they enter.
MAKEFLAGS += --no-print-directory
CMAKE_COMMON = -DCMAKE_BUILD_TYPE=RelWithDebInfo
WINE = scripts/with-wine
FUZZ_SECONDS ?= 120
FUZZ_CMAKE = -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DQUILL_FUZZ=ON

.PHONY: all deps native asan fuzz-build win medium run test check format unit asan-test fuzz-test fuzz wintest e2e bench clean

all: native win

deps:
	@scripts/deps.sh

native: deps
	cmake --no-warn-unused-cli -S . -B build/native $(CMAKE_COMMON) >/dev/null
	cmake --build build/native -j $(JOBS)

asan: deps
	cmake --no-warn-unused-cli -S . -B build/asan $(CMAKE_COMMON) -DQUILL_SANITIZE=ON >/dev/null
	cmake --build build/asan -j $(JOBS)

# The fuzz targets: the readers of untrusted bytes under libFuzzer, built with clang.
fuzz-build: deps
	cmake --no-warn-unused-cli -S . -B build/fuzz $(CMAKE_COMMON) $(FUZZ_CMAKE) >/dev/null
	cmake --build build/fuzz -j $(JOBS)

win: deps
	cmake --no-warn-unused-cli -S . -B build/win $(CMAKE_COMMON) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake >/dev/null
	cmake --build build/win -j $(JOBS)

medium: win

run: medium
	scripts/demo-walk.sh

unit: native
	ctest --test-dir build/native -L unit --output-on-failure

asan-test: asan
	ctest --test-dir build/asan -L unit --output-on-failure

fuzz-test: fuzz-build
	ctest --test-dir build/fuzz -L fuzz --output-on-failure

fuzz: fuzz-build
	FUZZ_SECONDS=$(FUZZ_SECONDS) scripts/fuzz.sh run

wintest: win
	$(WINE) ctest --test-dir build/win -L win --output-on-failure

e2e: win
	$(WINE) ctest --test-dir build/win -L e2e --output-on-failure

# The code style and the toolkit's layers (gui/ never includes the application).
check: deps
	scripts/check-format.sh
	scripts/check-layers.sh

format: deps
	git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format -i --style=file

test: check unit asan-test fuzz-test win
	$(WINE) ctest --test-dir build/win -L 'win|e2e' --output-on-failure

bench: native
	@if [ -x bench/run ]; then bench/run; else echo "no benchmarks yet"; fi

clean:
	rm -rf build
