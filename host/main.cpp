// The saver program: the one application object and the start-up entry.
#include "host/test_screensaver.h"
#include "platform/application.h"

static CTestScreensaver theApp;

int main(int argc, char** argv) { return RunApplication(argc, argv); }
