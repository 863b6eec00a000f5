// Loading and saving the largest images: the biggest a supplied model holds, and the biggest
// real file of the corpus read into a model large enough for it.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <random>

#include "base/memory_image.h"
#include "hexfile/file_io.h"
#include "hexfile/hex_reader.h"
#include "hexfile/hex_writer.h"

namespace quillon {
namespace {

constexpr const char* kLargestCorpusFile = "readback_pic18f87k90_full_image_crlf.hex";

MemoryImage erased_image(std::size_t flash_size, std::size_t eeprom_size) {
    MemoryImage image;
    image.flash.assign(flash_size, kErasedByte);
    image.eeprom.assign(eeprom_size, kErasedByte);
    for (int k = 1; k <= kConfigByteCount; ++k)
        image.config(k) = kErasedByte;
    return image;
}

// The supplied PIC18F452 (32 KB FLASH, 256 bytes EEPROM) with every byte in use.
MemoryImage full_supplied_image() {
    MemoryImage image = erased_image(32768, 256);
    std::mt19937 random(452);
    for (auto* buffer : {&image.flash, &image.eeprom}) {
        for (std::uint8_t& byte : *buffer)
            byte = static_cast<std::uint8_t>(random());
        buffer->back() = 0x00;
    }
    return image;
}

std::string corpus_path() {
    const char* dir = std::getenv("QUILLON_HEX_CORPUS");
    return (std::filesystem::path(dir ? dir : QUILLON_HEX_CORPUS_DIR) / kLargestCorpusFile).string();
}

// The load as the command does it: erase, then read the text.
void load(benchmark::State& state, std::string_view text, std::size_t flash_size, std::size_t eeprom_size) {
    MemoryImage image = erased_image(flash_size, eeprom_size);
    for (auto _ : state) {
        image.flash.assign(flash_size, kErasedByte);
        image.eeprom.assign(eeprom_size, kErasedByte);
        image.loaded_flash_end = 0;
        const HexReadResult result = read_hex_text(text, image);
        if (!result.accepted()) state.SkipWithError("the text was rejected");
        benchmark::DoNotOptimize(image.flash.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(text.size()));
}

void save(benchmark::State& state, const MemoryImage& image) {
    std::size_t size = 0;
    for (auto _ : state) {
        const std::string text = write_hex_text(image);
        size = text.size();
        benchmark::DoNotOptimize(text.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(size));
}

void BM_LoadSuppliedModelFull(benchmark::State& state) {
    const std::string text = write_hex_text(full_supplied_image());
    load(state, text, 32768, 256);
}
BENCHMARK(BM_LoadSuppliedModelFull)->Unit(benchmark::kMicrosecond);

void BM_SaveSuppliedModelFull(benchmark::State& state) {
    save(state, full_supplied_image());
}
BENCHMARK(BM_SaveSuppliedModelFull)->Unit(benchmark::kMicrosecond);

void BM_LoadLargestCorpusFile(benchmark::State& state) {
    const Result<std::string> file = read_file_text(corpus_path());
    if (!file.ok()) {
        state.SkipWithError("the HEX corpus is not here");
        return;
    }
    load(state, *file, 131072, 1024);
}
BENCHMARK(BM_LoadLargestCorpusFile)->Unit(benchmark::kMicrosecond);

// The same with the file read from disk each time, as a load from the menu does.
void BM_LoadLargestCorpusFileFromDisk(benchmark::State& state) {
    const std::string path = corpus_path();
    MemoryImage image = erased_image(131072, 1024);
    for (auto _ : state) {
        image.flash.assign(131072, kErasedByte);
        image.eeprom.assign(1024, kErasedByte);
        if (!read_hex_file(path, image).accepted()) {
            state.SkipWithError("the HEX corpus is not here");
            return;
        }
    }
}
BENCHMARK(BM_LoadLargestCorpusFileFromDisk)->Unit(benchmark::kMicrosecond);

void BM_SaveLargestCorpusImage(benchmark::State& state) {
    const Result<std::string> file = read_file_text(corpus_path());
    MemoryImage image = erased_image(131072, 1024);
    if (!file.ok() || !read_hex_text(*file, image).accepted()) {
        state.SkipWithError("the HEX corpus is not here");
        return;
    }
    save(state, image);
}
BENCHMARK(BM_SaveLargestCorpusImage)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace quillon

BENCHMARK_MAIN();
