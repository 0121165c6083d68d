// Writing a report file whole or not at all.
#pragma once

#include <string>

namespace qualty {

// False, with a one-line reason, when the file's folder does not exist or is
// not a folder: checked before any work is done for the file.
bool output_folder_exists(const std::string& path, std::string& error);

// Writes bytes to a temporary file in the same folder and renames it over
// path, so that a reader never sees half a file and a failure leaves nothing.
bool write_file_whole(const std::string& path, const std::string& bytes, std::string& error);

}  // namespace qualty
