// The ripple's clock on Linux: GLUT's elapsed time, the clock the ripple
// has always run on there.
#include <GL/freeglut.h>

#include "platform/native_platform.h"

namespace plat {

int32_t ElapsedTimeMs() { return glutGet(GLUT_ELAPSED_TIME); }

}  // namespace plat
