# Two commands do all the set-up on a fresh Debian 12 machine:
#   make run   builds and starts the panel on a ready demo installation
#   make test  builds and runs every test under Wine
.PHONY: all build run test bench clean

all: build

build:
	@scripts/deps.sh
	@scripts/build.sh

run:
	@scripts/run.sh

test:
	@scripts/test.sh

bench:
	@scripts/bench.sh

clean:
	-for p in build/wine/*/ .demo/prefix/ .demo/prefix-x86/; do [ -d "$$p" ] && WINEPREFIX=$$p wineserver -k 2>/dev/null; done; true
	rm -rf build .demo
