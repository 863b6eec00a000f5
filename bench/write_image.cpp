// Writes a full random image of a supplied model as an Intel HEX file, for the whole-program runs
// of bench/run.sh: quillon-bench-image MODEL OUT.hex [SEED]
#include <cstdio>
#include <cstdlib>

#include "bench_support.h"
#include "hexfile/file_io.h"
#include "hexfile/hex_writer.h"

int main(int argc, char** argv) {
    using namespace quillon;
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s MODEL OUT.hex [SEED]\n", argv[0]);
        return 2;
    }
    AppState state;
    if (!bench::select_supplied_model(state, argv[1])) {
        std::fprintf(stderr, "%s is not in %s\n", argv[1], bench::supplied_device_file().c_str());
        return 2;
    }
    bench::fill_full_image(state, argc > 3 ? static_cast<unsigned>(std::strtoul(argv[3], nullptr, 10)) : 1u);
    const Result<> written = replace_file(argv[2], write_hex_text(state.image));
    if (!written.ok()) {
        std::fprintf(stderr, "%s\n", written.error().message.c_str());
        return 1;
    }
    return 0;
}
