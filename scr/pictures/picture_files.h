// Which files are pictures: the extensions the installed decoders name.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace gelmo {

// The extensions in the decoders' lists (".jpeg,.jpe,.jpg" each, or with ";"),
// without their dots, each once whatever its case (its first spelling kept),
// in the order given.  One that would break a chooser's pattern (holding "*",
// "?", a blank or a NUL) is left out.
std::vector<std::string> PictureExtensionsOf(const std::vector<std::string>& extensionLists);

// True when the file name ends with "." and one of the extensions, whatever
// the case of its ASCII letters.
bool HasPictureExtension(std::string_view name, const std::vector<std::string>& extensions);

}  // namespace gelmo
