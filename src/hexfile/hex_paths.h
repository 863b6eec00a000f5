#pragma once

#include <string>
#include <string_view>

namespace quillon {

// A path as the loaded-file label shows it: paths of more than 70 characters become "... "
// followed by their last 70 characters. Characters, not bytes: UTF-8 sequences stay whole.
std::string shorten_path(std::string_view path);

// A path chosen in a file dialog, split after its last separator.
struct ChosenPath {
    std::string folder;  // up to and including the last separator; empty when there is none
    std::string name;    // the rest
};

ChosenPath split_chosen_path(std::string_view path, char separator);

}  // namespace quillon
