# Task runner over CMake: `make` builds dist/lumidor476_setup.exe, `make test`
# builds and runs every test, `make demo` runs a silent installation into a
# fresh Wine prefix and shows what it installed.

PRODUCT := build/product
UNIT := build/unit
TOOLCHAIN := $(CURDIR)/cmake/mingw-i686.cmake
JOBS ?= $(shell nproc)

.PHONY: all bootstrap product unit test unit-test e2e-test demo screenshots bench sign manifests clean

all: product

bootstrap:
	@tools/bootstrap.sh

product: bootstrap
	@cmake -S . -B $(PRODUCT) -DCMAKE_TOOLCHAIN_FILE=$(TOOLCHAIN) -DLUMIDOR_THREAD_MODEL=win32 \
	  -DCMAKE_BUILD_TYPE=MinSizeRel >/dev/null
	@cmake --build $(PRODUCT) -j$(JOBS) -- --no-print-directory
	@mkdir -p dist
	@cp $(PRODUCT)/lumidor476_setup.exe dist/lumidor476_setup.exe
	@echo "built dist/lumidor476_setup.exe"

unit: product
	@cmake -S . -B $(UNIT) -DCMAKE_TOOLCHAIN_FILE=$(TOOLCHAIN) -DLUMIDOR_THREAD_MODEL=posix \
	  -DLUMIDOR_TESTS=ON -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build $(UNIT) -j$(JOBS) -- --no-print-directory
	@cmake --build $(PRODUCT) -j$(JOBS) --target test_variants -- --no-print-directory

unit-test: unit
	@tests/run_unit_tests.sh

e2e-test: unit
	@python3 tests/e2e/run.py

test: unit
	@tests/run_all.sh

demo: product
	@tools/demo.sh

screenshots: unit
	@python3 tools/screenshots.py

bench: product
	@cmake --build $(PRODUCT) -j$(JOBS) --target bench_programs -- --no-print-directory
	@python3 tools/bench.py

# make sign SIGN_PFX=<file.pfx> [SIGN_PASSWORD_FILE=<file>] SIGN_TIMESTAMP_URL=<url> [DIST=<folder>]
# (SIGN_NO_TIMESTAMP=1 instead of the URL signs without a timestamp.)
sign: bootstrap
	@SIGN_PFX="$(SIGN_PFX)" SIGN_PASSWORD_FILE="$(SIGN_PASSWORD_FILE)" SIGN_TIMESTAMP_URL="$(SIGN_TIMESTAMP_URL)" \
	  SIGN_NO_TIMESTAMP="$(SIGN_NO_TIMESTAMP)" DIST="$(DIST)" tools/sign.sh

# The winget manifests of the program in dist/ (signed or not; built first when
# missing), and the default-associations file for administrators.
# INSTALLER_URL: where the program will be downloaded from; ASSOC=all: every
# format in the associations file, not only the image formats.
MANIFESTS ?= deploy/winget
INSTALLER_URL ?= https://www.orvendal.example/download/lumidor476_setup.exe
ASSOCIATIONS ?= deploy/DefaultAssociations.xml
manifests:
	@[ -f dist/lumidor476_setup.exe ] || $(MAKE) --no-print-directory product
	@python3 tools/make_manifests.py dist/lumidor476_setup.exe "$(MANIFESTS)" "$(INSTALLER_URL)" "$(ASSOCIATIONS)" $(ASSOC)

clean:
	rm -rf build/product build/unit build/signed build/wine dist
