# Tirvex: the two commands a newcomer needs, `make play` and `make test`.
# Both install the Debian packages the build needs when they are missing.

BUILD    ?= build
JOBS     ?= $(shell nproc)
PACKAGES := cmake g++ make pkg-config liballegro4-dev libgtest-dev libfreetype-dev \
            fonts-dejavu-core xvfb xauth xdotool x11-utils clang libclang-rt-14-dev x11-apps
SUDO     := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: all deps build play test bench clean

all: build

# Install only what is missing, so a prepared machine never touches the network.
deps:
	@missing=""; for p in $(PACKAGES); do \
	  dpkg -s $$p >/dev/null 2>&1 || missing="$$missing $$p"; done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  $(SUDO) apt-get update -qq && \
	  DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq $$missing; \
	fi

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	cmake --build $(BUILD) -j $(JOBS)

play: build
	cd $(BUILD)/game && ./tirvex

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

bench: build
	@if [ -x $(BUILD)/tools/bench/render_bench ]; then cd $(BUILD)/game && ../tools/bench/render_bench; \
	else echo "no benchmark built yet"; fi

clean:
	rm -rf $(BUILD)
