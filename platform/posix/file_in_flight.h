// Between the file layer and the termination handler.
#pragma once

namespace plat {

// Removes the temporary file of a replacement under way, if any.  Safe to
// call from a signal handler.
void RemoveFileInFlight();

}  // namespace plat
