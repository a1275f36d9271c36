# Conveniences for developers; the README's commands are ./run.sh and ./test.sh.
.PHONY: all test sanitize clang run format bench assets contact-sheet fuzz soak

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

format:
	clang-format -i $$(git ls-files 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' 'tools/*.cpp' 'tools/*.h' 'bench/*.cpp')
