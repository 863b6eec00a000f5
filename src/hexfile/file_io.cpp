#include "hexfile/file_io.h"

#include <cerrno>
#include <fstream>
#include <new>
#include <random>
#include <stdexcept>
#include <system_error>

namespace quillon {

namespace fs = std::filesystem;

namespace {

// Ten times the HEX text of the largest PIC18 image (2 MB of FLASH is about 6 MB of text).
constexpr std::size_t kMaxReadBytes = std::size_t{64} << 20;

// The reason behind the last failed stream operation, as far as the system told it.
std::string last_system_error(const char* fallback) {
    return errno != 0 ? std::generic_category().message(errno) : std::string(fallback);
}

// A name beside `target` that no file has yet (".NAME.NUMBER.tmp").
fs::path temporary_sibling(const fs::path& target) {
    std::random_device random;
    fs::path candidate;
    for (int attempt = 0; attempt < 100; ++attempt) {
        fs::path name(".");
        name += target.filename();
        std::string suffix(".");
        suffix += std::to_string(random());
        suffix += ".tmp";
        name += suffix;
        candidate = target.parent_path() / name;
        std::error_code error;
        if (!fs::exists(fs::symlink_status(candidate, error))) break;
    }
    return candidate;
}

}  // namespace

fs::path path_from_utf8(std::string_view path) {
    return fs::path(std::u8string(path.begin(), path.end()));
}

Result<std::string> read_file_text(const std::string& path) {
    const fs::path file_path = path_from_utf8(path);
    std::error_code error;
    const fs::file_status status = fs::status(file_path, error);
    if (status.type() == fs::file_type::not_found) return failure(Error{"the file does not exist"});
    if (error) return failure(Error{error.message()});
    if (fs::is_directory(status)) return failure(Error{"it is a folder, not a file"});

    errno = 0;
    std::ifstream in(file_path, std::ios::binary);
    if (!in) return failure(Error{last_system_error("it cannot be opened")});
    constexpr const char* kTooLarge = "it is too large to be read into memory";
    std::string text;
    // A wrongly chosen file may be far larger than any HEX file: say so instead of failing.
    try {
        // Read a file of known size straight into the text; whatever else there is, in chunks.
        if (fs::is_regular_file(status)) {
            const std::uintmax_t size = fs::file_size(file_path, error);
            if (!error && size > kMaxReadBytes) return failure(Error{kTooLarge});
            if (!error) {
                text.resize(static_cast<std::size_t>(size));
                in.read(text.data(), static_cast<std::streamsize>(size));
                text.resize(static_cast<std::size_t>(in.gcount()));
            }
        }
        char chunk[1 << 16];
        while (in.read(chunk, sizeof chunk) || in.gcount() > 0) {
            text.append(chunk, static_cast<std::size_t>(in.gcount()));
            // A device that never ends (a wrongly chosen /dev/zero) must not fill the memory.
            if (text.size() > kMaxReadBytes) return failure(Error{kTooLarge});
        }
    } catch (const std::bad_alloc&) {
        return failure(Error{kTooLarge});
    } catch (const std::length_error&) {
        return failure(Error{kTooLarge});
    }
    if (in.bad()) return failure(Error{last_system_error("reading it failed")});
    return text;
}

Result<> write_and_close(std::ofstream& out, std::string_view text) {
    errno = 0;
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.flush();
    if (!out) return failure(Error{last_system_error("writing failed")});
    out.close();
    if (!out) return failure(Error{last_system_error("closing the file failed")});
    return {};
}

Result<> replace_file(const std::string& path, std::string_view text) {
    fs::path target = path_from_utf8(path);
    std::error_code error;
    // Saving through a link replaces the file it points at, not the link.
    if (fs::is_symlink(fs::symlink_status(target, error))) {
        const fs::path resolved = fs::canonical(target, error);
        if (!error) target = resolved;
    }
    if (target.filename().empty()) return failure(Error{"the path names no file"});
    const fs::file_status existing = fs::status(target, error);
    if (fs::is_directory(existing)) return failure(Error{"it is a folder, not a file"});
    if (fs::exists(existing) && !fs::is_regular_file(existing)) {
        // A device or a pipe cannot be replaced by a new file (and must not be, even by root):
        // the text goes into it as it is.
        errno = 0;
        std::ofstream device(target, std::ios::binary);
        if (!device) return failure(Error{last_system_error("it cannot be opened for writing")});
        return write_and_close(device, text);
    }

    const fs::path temporary = temporary_sibling(target);
    errno = 0;
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    if (!out) return failure(Error{last_system_error("the file cannot be created")});
    Result<> written = write_and_close(out, text);
    if (written.ok()) {
        // Keep the permissions the old file had.
        const fs::file_status old_status = fs::status(target, error);
        if (!error && fs::is_regular_file(old_status))
            fs::permissions(temporary, old_status.permissions(), error);
        fs::rename(temporary, target, error);
        if (error) written = failure(Error{error.message()});
    }
    if (!written.ok()) fs::remove(temporary, error);
    return written;
}

}  // namespace quillon
