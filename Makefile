# Tirvex: the two commands a newcomer needs, `make play` and `make test`, and the install.
# Each installs the Debian packages it needs when they are missing: playing needs only the
# build tools and libraries, the tests add their own.

BUILD    ?= build
JOBS     ?= $(shell nproc)
PREFIX   ?= /usr/local
DESTDIR  ?=
PLAY_PACKAGES := cmake ninja-build g++ make pkg-config liballegro4-dev libfreetype-dev \
                 fonts-dejavu-core libpng-dev libxrender-dev gettext
TEST_PACKAGES := libgtest-dev xvfb xauth xdotool x11-utils clang libclang-rt-14-dev x11-apps strace \
                 dpkg-dev debhelper lintian desktop-file-utils appstream file python3
# What dpkg-buildpackage needs beyond playing: debian/control's other build dependencies.
DEB_PACKAGES  := dpkg-dev debhelper libgtest-dev lintian
# What make autopkgtest needs beyond the packages' build: the runner and debian/tests/control's
# test dependencies, installed here so the runner's null server finds them in place.
AUTOPKGTEST_PACKAGES := autopkgtest xvfb xauth xdotool x11-apps strace
PACKAGES ?= $(PLAY_PACKAGES)
# A new build folder is made for Ninja, which compiles a target's files while the libraries it
# links are still being built (make waits for them: on two busy cores the build took a fifth
# longer). A folder made before keeps the generator it was made with.
GENERATOR = $(if $(wildcard $(BUILD)/CMakeCache.txt),,-G Ninja)
SUDO     := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: all deps test-deps build game play test check-release mutants fuzz bench level-table pot readme-picture language-screenshots install uninstall \
        dist deb autopkgtest reproducible-check generated-check generator-showcase clean

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
	cmake -S . -B $(BUILD) $(GENERATOR) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	cmake --build $(BUILD) -j $(JOBS)

# Only what playing needs: the game with its data, models and levels, and the level generator
# that the game runs for a new set of levels. The tests, the fuzz targets, the editor and the
# checker wait for make build or make test: a first game starts in a fraction of the time.
PLAY_TARGETS := tirvex level_generator
game: deps
	cmake -S . -B $(BUILD) $(GENERATOR) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	cmake --build $(BUILD) -j $(JOBS) --target $(PLAY_TARGETS)

play: game
	cd $(BUILD)/game && ./tirvex

test-deps:
	@$(MAKE) --no-print-directory deps PACKAGES="$(PLAY_PACKAGES) $(TEST_PACKAGES)"

# The game's tests; the release checks (ctest label "release": the Debian packages, the release
# tarball, the installed files, the datafile made again) are check-release's. CI runs both.
test: test-deps build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS) -LE release

check-release: test-deps build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS) -L release

# Each small fault of tools/mutants/faults.txt put into the sources in turn, the tests rebuilt and
# run until one fails, the file put back; lists the faults no test caught (not part of make test).
mutants: test-deps build
	python3 tools/mutants/mutants.py --build $(BUILD) --jobs $(JOBS)

# Every fuzz target of the build, each for FUZZ_SECONDS over its seeds (the test suite runs each
# over a fixed count of inputs); a target another part of the tree adds joins without an edit here.
FUZZ_SECONDS ?= 300
fuzz: test-deps build
	sh tests/fuzz/run_all.sh $(BUILD) $(FUZZ_SECONDS)

# The installed data folder is compiled in, so the prefix is set before building.
install: deps
	cmake -S . -B $(BUILD) $(GENERATOR) -DCMAKE_INSTALL_PREFIX=$(PREFIX) >/dev/null
	cmake --build $(BUILD) -j $(JOBS)
	DESTDIR=$(DESTDIR) cmake --install $(BUILD)

# Removes exactly the files an install of this tree puts there, found by staging one afresh,
# and then the game's own folders when they are left empty.
uninstall:
	@[ -f $(BUILD)/cmake_install.cmake ] || { echo "nothing built in $(BUILD): run make install first"; exit 1; }
	@stage=$$(mktemp -d); \
	DESTDIR=$$stage cmake --install $(BUILD) --prefix $(PREFIX) >/dev/null && \
	(cd $$stage$(PREFIX) && find . -type f -o -type l) | while read -r f; do \
	  rm -f "$(DESTDIR)$(PREFIX)/$${f#./}" && echo "removed $(DESTDIR)$(PREFIX)/$${f#./}"; done; \
	rm -rf $$stage; \
	for d in data maps solutions bsp; do rmdir "$(DESTDIR)$(PREFIX)/share/games/tirvex/$$d" 2>/dev/null; done; \
	rmdir "$(DESTDIR)$(PREFIX)/share/games/tirvex" 2>/dev/null; true

# The renderer's benchmark, the timedemo, the hint's answer times on positions of random play in
# every shipped level against their targets, then the level checker over the shipped levels: its
# closing tables give states, seconds, states a second and peak memory for each level and in all,
# and each level's fairness analysis with the seconds it took. Last, the checker's processor time
# against the first release's on that release's maps (built once into build/first-release).
# Then the level generator: a small, a medium and a large level of each idea for 5 seeds, median
# and worst seconds and peak memory against its targets, and the desktop action's set of ten.
# Before the hint, paced play of tests/demos/bench.demo with the picture enlarged 1, 2 and 4
# times: the game's and the X server's processor time, start-up left out.
# Each runs to its end whatever the one before gave; a missed target is printed beside its
# figure, and only a benchmark that could not run fails the target, once all have run.
bench: build
	cmake --build $(BUILD) -j $(JOBS) --target render_bench hint_bench hint_start_bench
	@failed=""; \
	if [ -x $(BUILD)/tools/bench/render_bench ]; then \
	  (cd $(BUILD)/game && ../tools/bench/render_bench) || failed="$$failed render_bench"; \
	else echo "no benchmark built yet"; failed="$$failed render_bench"; fi; \
	echo; echo "timedemo of the game recorded by the test suite (make test records it):"; \
	if [ -f $(BUILD)/demos/walk_and_mine.demo ]; then \
	  if [ -n "$$DISPLAY" ]; then run=""; elif command -v xvfb-run >/dev/null; then \
	    run="xvfb-run -a -s '-screen 0 640x480x24'"; else run=none; fi; \
	  if [ "$$run" = none ]; then echo "no display and no xvfb-run: skipped"; \
	  elif (cd $(BUILD)/game && eval $$run ./tirvex -nosound --levels ../demos/levels \
	        -timedemo ../demos/walk_and_mine.demo >../timedemo.log 2>&1); then \
	    grep timedemo $(BUILD)/timedemo.log; \
	  else cat $(BUILD)/timedemo.log; failed="$$failed timedemo"; fi; \
	else echo "no demo recorded yet: run make test first"; fi; \
	echo; echo "play with the picture enlarged 1, 2 and 4 times (tests/demos/bench.demo):"; \
	sh tools/bench/scale_bench.sh $(abspath $(BUILD))/game || failed="$$failed scale_bench"; \
	echo; if [ -x $(BUILD)/tools/bench/hint_bench ]; then \
	  (cd $(BUILD)/game && ../tools/bench/hint_bench) || failed="$$failed hint_bench"; \
	else echo "no hint benchmark built yet"; failed="$$failed hint_bench"; fi; \
	echo; echo "level checker, every shipped level:"; \
	(cd $(BUILD)/game && ./level_checker --fair maps/map*.txt >../level_checker_bench.log); \
	status=$$?; sed -n '/^map  /,$$p' $(BUILD)/level_checker_bench.log; \
	[ $$status -eq 0 ] || failed="$$failed level_checker"; \
	echo; bash tools/bench/checker_release_bench.sh . $(BUILD) || failed="$$failed checker_release_bench"; \
	echo; bash tools/bench/generator_bench.sh $(BUILD)/game || failed="$$failed generator_bench"; \
	if [ -n "$$failed" ]; then echo; echo "make bench: did not run to its end:$$failed"; exit 1; fi

# The level generator's full set: 20 seeds of every idea and size, each level through the level
# checker's fairness analysis and its size's rules (the test suite checks a short set).
generated-check: build
	bash tests/e2e/level_generator.sh $(abspath $(BUILD))/game full

# Ten generated medium levels beside ten shipped ones, pictures and figures, kept in the
# repository as screenshots/generated/ (its README.md is the table, ending in the medians).
generator-showcase: build
	bash tools/level_generator/showcase.sh $(BUILD)/game screenshots/generated

# The template of the game's texts, po/tirvex.pot, made again by xgettext from the files of
# po/POTFILES and merged into each language's po/<code>.po; the build itself needs only msgfmt.
pot:
	@$(MAKE) --no-print-directory deps PACKAGES="$(PLAY_PACKAGES)"
	cmake -S . -B $(BUILD) $(GENERATOR) >/dev/null
	cmake --build $(BUILD) --target pot

# The table of the shipped levels in doc/levels.md, made by the level checker over the staged
# maps (the same run as the test that checks the table is up to date).
level-table: build
	@cd $(BUILD)/game && ./level_checker --language C --fair --markdown ../level_table.md maps/map*.txt \
	  >../level_table.log || { grep -v '^  ' ../level_table.log | grep -v ': valid: '; \
	  echo "a shipped level does not pass: the level table of doc/levels.md is left as it was"; exit 1; }
	sh tools/level_table/splice_table.sh doc/levels.md $(BUILD)/level_table.md
	@echo "doc/levels.md: the level table of $$(ls $(BUILD)/game/maps/map*.txt | wc -l) maps"

# The README's picture: play, the robot behind its jar on level 11 with the clock and the sweets
# above, the second screenshot of tests/demos/screens.demo played back under Xvfb (the same bytes
# every time: e2e_screens_demo holds the demo's screenshots to them), kept in the repository as
# screenshots/tirvex.png.
readme-picture:
	@$(MAKE) --no-print-directory deps PACKAGES="$(PLAY_PACKAGES) python3 xvfb xauth"
	cmake -S . -B $(BUILD) $(GENERATOR) >/dev/null
	cmake --build $(BUILD) -j $(JOBS) --target tirvex
	@pic=$$(mktemp -d) && mkdir -p $$pic/data/maps $$pic/home && \
	cp -r $(BUILD)/game/data $(BUILD)/game/bsp $$pic/data/ && \
	cp assets/maps/map11.txt $$pic/data/maps/map01.txt && \
	if (cd $(BUILD)/game && xvfb-run -a -s '-screen 0 640x480x24' ./tirvex -nosound \
	      --data $$pic/data --home $$pic/home -timedemo $(CURDIR)/tests/demos/screens.demo \
	      >$$pic/log 2>&1) && [ -f $$pic/home/screen02.bmp ]; then \
	  python3 tools/readme_picture/bmp_to_png.py $$pic/home/screen02.bmp screenshots/tirvex.png && \
	  echo "screenshots/tirvex.png: drawn again"; status=$$?; \
	else cat $$pic/log; echo "the demo gave no screenshot: screenshots/tirvex.png is left as it was"; \
	  status=1; fi; rm -rf $$pic; exit $$status

# The game and the editor in each language of po/LINGUAS, played under Xvfb: the main menu, the
# level select, the key card, the first loss with its tip, the Tab panel and the editor, kept in
# the repository as screenshots/languages/CODE-NAME.png.
language-screenshots:
	@$(MAKE) --no-print-directory deps PACKAGES="$(PLAY_PACKAGES) $(TEST_PACKAGES)"
	cmake -S . -B $(BUILD) $(GENERATOR) >/dev/null
	cmake --build $(BUILD) -j $(JOBS) --target tirvex tirvex_edit xwd_pixels catalogues
	bash tools/readme_picture/language_screens.sh $(BUILD)/game screenshots/languages

# The upstream release tarball, $(BUILD)/tirvex-VERSION.tar.xz (VERSION: CMakeLists.txt's), of
# the files git knows or would add, names sorted, dated the last commit, owned by 0; it carries
# that date in cmake/source_date_epoch.txt and builds without .git (tools/package_deb).
dist:
	@bash tools/package_deb/release_tarball.sh . $(BUILD)

# The Debian packages, built by dpkg-buildpackage from the release tarball (as the .orig.tar.xz)
# and debian/ (tools/package_deb/build_packages.sh): the source package, tirvex, tirvex-data
# and the debug symbols, with the .changes, left in $(BUILD); lintian's verdict follows.
# DEB_BUILD_OPTIONS=nocheck skips the tests of the build.
deb:
	@$(MAKE) --no-print-directory deps PACKAGES="$(PLAY_PACKAGES) $(DEB_PACKAGES)"
	@changes=$$(bash tools/package_deb/build_packages.sh . $(BUILD)/deb-work $(BUILD) -J$(JOBS)) && \
	version=$$(dpkg-parsechangelog -SVersion) && \
	ls -1 $$(dirname $$changes)/*_$$version[_.]* $$(dirname $$changes)/tirvex_$${version%-*}.orig.tar.xz && \
	lintian --info --pedantic --fail-on error,warning $$changes

# The installed packages' own tests (debian/tests: the game reaches its menu and plays level 1's
# recorded way writing nothing outside its home, the checker validates and solves the installed
# levels, the editor opens and saves a level), run by autopkgtest on the packages make deb
# builds (without their build's tests: make test runs those) on this machine itself (the null
# server), so as root or through sudo; packages it installs for them stay, and tirvex and
# tirvex-data are removed again afterwards unless they were installed before. Its logs are in
# $(BUILD)/autopkgtest.
autopkgtest:
	@$(MAKE) --no-print-directory deps PACKAGES="$(PLAY_PACKAGES) $(DEB_PACKAGES) $(AUTOPKGTEST_PACKAGES)"
	@changes=$$(DEB_BUILD_OPTIONS="nocheck $(DEB_BUILD_OPTIONS)" bash tools/package_deb/build_packages.sh \
	    . $(BUILD)/deb-work $(BUILD) -J$(JOBS)) && echo "$$changes" && \
	had=$$(dpkg-query -W -f='$${db:Status-Abbrev}' tirvex 2>/dev/null | grep -c '^ii'); \
	rm -rf $(BUILD)/autopkgtest; \
	$(SUDO) autopkgtest --output-dir $(BUILD)/autopkgtest "$$changes" -- null; status=$$?; \
	if [ "$$had" = 0 ]; then \
	  DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get remove --purge -y -qq tirvex tirvex-data >/dev/null; fi; \
	exit $$status

# The packages built twice, from copies in two folders of different names and depths, minutes
# apart and under another time zone and umask, then compared byte for byte: the upstream
# release tarball (the .orig.tar.xz), the .debian.tar.xz, the .dsc and every binary package
# (the .buildinfo records the build's own folder and time, and the .changes its checksum). The tests are left out (nocheck): they do not shape what is shipped.
# diffoscope, where installed, shows what differs.
REPRO := $(BUILD)/reproducible
reproducible-check:
	@$(MAKE) --no-print-directory deps PACKAGES="$(PLAY_PACKAGES) $(DEB_PACKAGES)"
	rm -rf $(REPRO)
	DEB_BUILD_OPTIONS="nocheck $(DEB_BUILD_OPTIONS)" bash tools/package_deb/build_packages.sh \
	    . $(REPRO)/first $(REPRO)/one -J$(JOBS) >/dev/null
	cd $(REPRO) && mkdir -p second/a/much/longer/path && \
	DEB_BUILD_OPTIONS="nocheck $(DEB_BUILD_OPTIONS)" TZ=Pacific/Kiritimati bash -c 'umask 002 && \
	    bash $(CURDIR)/tools/package_deb/build_packages.sh $(CURDIR) second/a/much/longer/path two \
	    -J$(JOBS)' >/dev/null
	@cd $(REPRO) && status=0; for f in $$(cd one && ls | grep -v '\.buildinfo$$\|\.changes$$'); do \
	  if cmp -s one/$$f two/$$f; then echo "identical: $$f"; \
	  else echo "DIFFERENT: $$f"; status=1; \
	    if command -v diffoscope >/dev/null; then diffoscope one/$$f two/$$f | head -n 60; fi; fi; \
	done; [ $$status = 0 ] && echo "make reproducible-check: the two builds are identical"; exit $$status

clean:
	rm -rf $(BUILD)
