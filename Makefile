# Conveniences for developers; the README's commands are ./run.sh and ./test.sh.
.PHONY: all test sanitize clang run format feel bench bench-web web-test assets contact-sheet fuzz soak screens deb web

all:
	cmake -S . -B build && cmake --build build -j $$(nproc)

test:
	./test.sh

sanitize:
	./test.sh --sanitize

clang:
	./test.sh --clang

run:
	./run.sh --windowed

# The C++ sources in the committed .clang-format style (the ctest `format` checks them).
format:
	./scripts/format.sh

# The frame-cost benchmark, built in Release in build-bench/; BENCH_ARGS passes options (--samples N ...).
bench:
	./scripts/install-deps.sh
	cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DSKARN_TESTS=OFF >/dev/null
	cmake --build build-bench -j2 --target skarn_bench
	build-bench/bench/skarn_bench $(BENCH_ARGS)
	@if [ -f dist/web/index.html ]; then /usr/bin/python3 scripts/web-test.py bench --game build-bench/skarnhold; \
	else echo "bench: no dist/web (make web): the page's figures are not measured"; fi

# How the first minute feels: the human model's first runs of seeds 1 to 100 and the perfect bot's distance
# (scripts/feel.sh: FEEL_SEEDS, FEEL_SECONDS); fails when a target is missed.
feel:
	./scripts/install-deps.sh
	cmake -S . -B build >/dev/null && cmake --build build -j2 --target skarnhold
	./scripts/feel.sh build/skarnhold

# The page's figures in headless Chromium: its transfer size, its first frame and the level's frame time.
bench-web: web
	./scripts/install-deps.sh
	cmake -S . -B build >/dev/null && cmake --build build -j2 --target skarnhold
	/usr/bin/python3 scripts/web-test.py bench

# The page checked in headless Chromium (scripts/web-test.py): a replay recorded by the desktop build prints
# the same run: lines there and saves nothing, the menu and the level are drawn (pictures in
# build-web/web-test/), and the score a scripted run saved is still there after a reload.
web-test: web
	./scripts/install-deps.sh
	cmake -S . -B build >/dev/null && cmake --build build -j2 --target skarnhold
	/usr/bin/python3 scripts/web-test.py test

# Rebuild data/ from assets/: meshes, palette, grid and default high scores, the icons of the desktop
# (packaging/icons) and of the window (data/Icons) drawn from the troglin, and the sounds when lame is there.
assets:
	cmake -S . -B build >/dev/null && cmake --build build -j2 --target meshgen soundgen mapgen icongen
	build/tools/meshgen assets data
	build/tools/mapgen assets data
	build/tools/icongen data packaging
	@if command -v lame >/dev/null; then build/tools/soundgen assets data; \
	else echo "lame is missing (scripts/install-deps.sh installs it): sounds not rebuilt" >&2; exit 1; fi

# Every mesh of data/Meshes and two scenes put together in one picture: build/contact-sheet.png
contact-sheet:
	cmake -S . -B build >/dev/null && cmake --build build -j2 --target contactsheet
	build/tools/contactsheet assets data build/contact-sheet.ppm; status=$$?; \
	convert build/contact-sheet.ppm build/contact-sheet.png && echo build/contact-sheet.png; exit $$status

# Fuzz targets of the file readers (clang, libFuzzer, ASan, UBSan) in build-fuzz/, each run for FUZZ_SECONDS
# (default 60); fails on any finding. FUZZ_TARGETS="mesh grid" runs some of them.
fuzz:
	./scripts/fuzz.sh

# The soak run: the bot plays 30 game minutes (SOAK_MINUTES) drawn, under LeakSanitizer, in build-soak/
# (optimised, with debug information); fails on a crash, a leak or memory growth. About an hour of one core (~4 ms a frame).
soak:
	./scripts/install-deps.sh
	cmake -S . -B build-soak -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSKARN_TESTS=OFF \
	    -DCMAKE_CXX_FLAGS="-fsanitize=leak -fno-omit-frame-pointer" -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=leak" >/dev/null
	cmake --build build-soak -j2 --target skarnhold
	./scripts/soak.sh build-soak/skarnhold

# A picture of every screen at 800 x 600 and 1920 x 1080 in docs/screens/ (NAME-WxH.png): the screens test's
# walk saves each screen as it checks it; ImageMagick packs the pictures small.
screens:
	./scripts/install-deps.sh
	cmake -S . -B build >/dev/null && cmake --build build -j2 --target scenario_tests skarnhold
	rm -rf build/screens && mkdir -p build/screens docs/screens
	SKARN_SCREENS_DIR=$(CURDIR)/build/screens build/tests/scenario_tests \
	    --gtest_filter='Walks/Screens.*/800x600:Walks/Screens.*/1920x1080'
	for f in build/screens/*.png; do \
	    convert "$$f" -strip -define png:compression-level=9 -define png:compression-filter=5 \
	        "docs/screens/$$(basename "$$f")" || exit 1; done
	@ls docs/screens

# The Debian package dist/skarnhold_VERSION_ARCH.deb (built in build-deb/, checked by lintian); install it
# with `sudo apt install ./dist/skarnhold_*.deb`.
deb:
	./scripts/install-deps.sh
	./scripts/make-deb.sh

# The game for web browsers in dist/web (serve it with any static file server, e.g. python3 -m http.server):
# the libraries are built once from Debian's sources into build-web/deps (scripts/web-deps.sh), the game in
# build-web/ with Debian's emscripten.
web:
	./scripts/install-deps.sh --web
	./scripts/web-deps.sh build-web
	NODE_PATH=/usr/share/nodejs emcmake cmake -S . -B build-web -DCMAKE_BUILD_TYPE=Release -DSKARN_WERROR=ON >/dev/null
	NODE_PATH=/usr/share/nodejs cmake --build build-web -j2 --target skarnhold
	./scripts/web-dist.sh build-web dist/web
