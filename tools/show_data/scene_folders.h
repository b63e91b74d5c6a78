// The show's scene folders, each with its backdrop and water picture.
#pragma once

#include <string>

namespace show_data {

// Writes backdrop.jpg and water.jpg into one folder per scene under data
// (whose name ends in '/'), printing each folder's name when it is done.
bool WriteScenes(const std::string& data);

}  // namespace show_data
