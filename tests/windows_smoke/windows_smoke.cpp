// Checks that the cross-built libraries link into one static Windows
// program and work there: TinyXML parses, libjpeg-turbo round-trips a
// picture through memory, a std::thread runs, and GLEW loads on a real WGL
// context (Mesa's, under Wine and Xvfb).
#include <windows.h>

#include <GL/glew.h>
#include <gtest/gtest.h>
#include <tinyxml.h>

#include <cstdio>
#include <cstdlib>
#include <jpeglib.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

#ifndef TIXML_USE_STL
#error "tinyxml.h must come with TIXML_USE_STL, as Debian's does"
#endif

TEST(TinyXml, ParsesAString) {
  TiXmlDocument doc;
  doc.Parse("<show name=\"smoke\"><fountain jets=\"3\"/></show>");
  ASSERT_FALSE(doc.Error()) << doc.ErrorDesc();
  const TiXmlElement* show = doc.RootElement();
  ASSERT_NE(nullptr, show);
  const std::string* name = show->Attribute(std::string("name"));
  ASSERT_NE(nullptr, name);
  EXPECT_EQ("smoke", *name);
  int jets = 0;
  ASSERT_NE(nullptr, show->FirstChildElement("fountain"));
  EXPECT_EQ(TIXML_SUCCESS, show->FirstChildElement("fountain")->QueryIntAttribute("jets", &jets));
  EXPECT_EQ(3, jets);
}

TEST(Jpeg, RoundTripsAPictureThroughMemory) {
  const int width = 32, height = 16;
  std::vector<unsigned char> rgb(width * height * 3);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      unsigned char* p = &rgb[(y * width + x) * 3];
      p[0] = static_cast<unsigned char>(x * 8);
      p[1] = static_cast<unsigned char>(y * 16);
      p[2] = 128;
    }

  jpeg_compress_struct c{};
  jpeg_error_mgr cerr{};
  c.err = jpeg_std_error(&cerr);
  jpeg_create_compress(&c);
  unsigned char* jpeg = nullptr;
  unsigned long jpeg_size = 0;
  jpeg_mem_dest(&c, &jpeg, &jpeg_size);
  c.image_width = width;
  c.image_height = height;
  c.input_components = 3;
  c.in_color_space = JCS_RGB;
  jpeg_set_defaults(&c);
  jpeg_set_quality(&c, 95, TRUE);
  jpeg_start_compress(&c, TRUE);
  while (c.next_scanline < c.image_height) {
    JSAMPROW row = &rgb[c.next_scanline * width * 3];
    jpeg_write_scanlines(&c, &row, 1);
  }
  jpeg_finish_compress(&c);
  jpeg_destroy_compress(&c);
  ASSERT_GT(jpeg_size, 100u);

  jpeg_decompress_struct d{};
  jpeg_error_mgr derr{};
  d.err = jpeg_std_error(&derr);
  jpeg_create_decompress(&d);
  jpeg_mem_src(&d, jpeg, jpeg_size);
  ASSERT_EQ(JPEG_HEADER_OK, jpeg_read_header(&d, TRUE));
  jpeg_start_decompress(&d);
  ASSERT_EQ(static_cast<JDIMENSION>(width), d.output_width);
  ASSERT_EQ(static_cast<JDIMENSION>(height), d.output_height);
  ASSERT_EQ(3, d.output_components);
  std::vector<unsigned char> out(width * height * 3);
  while (d.output_scanline < d.output_height) {
    JSAMPROW row = &out[d.output_scanline * width * 3];
    jpeg_read_scanlines(&d, &row, 1);
  }
  jpeg_finish_decompress(&d);
  jpeg_destroy_decompress(&d);
  std::free(jpeg);

  int worst = 0;
  for (size_t i = 0; i < rgb.size(); ++i) worst = std::max(worst, std::abs(rgb[i] - out[i]));
  EXPECT_LT(worst, 16) << "decoded picture is far from the encoded one";
}

// The posix thread model's std::thread, with winpthread linked in statically.
TEST(Threads, StdThreadRuns) {
  int value = 0;
  std::thread worker([&value] { value = 42; });
  worker.join();
  EXPECT_EQ(42, value);
}

TEST(Wgl, GlewInitOnARealContext) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSW wc{};
  wc.style = CS_OWNDC;
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = instance;
  wc.lpszClassName = L"WavendellWindowsSmoke";
  ASSERT_NE(0, RegisterClassW(&wc));
  HWND window = CreateWindowW(wc.lpszClassName, L"smoke", WS_OVERLAPPEDWINDOW, 0, 0, 64, 64,
                              nullptr, nullptr, instance, nullptr);
  ASSERT_NE(nullptr, window);
  HDC dc = GetDC(window);

  PIXELFORMATDESCRIPTOR pfd{};
  pfd.nSize = sizeof pfd;
  pfd.nVersion = 1;
  pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
  pfd.iPixelType = PFD_TYPE_RGBA;
  pfd.cColorBits = 24;
  pfd.cDepthBits = 24;
  pfd.iLayerType = PFD_MAIN_PLANE;
  int format = ChoosePixelFormat(dc, &pfd);
  ASSERT_NE(0, format);
  ASSERT_TRUE(SetPixelFormat(dc, format, &pfd));
  HGLRC context = wglCreateContext(dc);
  ASSERT_NE(nullptr, context);
  ASSERT_TRUE(wglMakeCurrent(dc, context));

  GLenum status = glewInit();
  ASSERT_EQ(static_cast<GLenum>(GLEW_OK), status) << glewGetErrorString(status);
  const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
  const char* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
  ASSERT_NE(nullptr, version);
  std::printf("GL_VERSION  %s\nGL_RENDERER %s\nGLEW        %s\n", version,
              renderer ? renderer : "?", glewGetString(GLEW_VERSION));
  // The ripple water needs shaders.
  EXPECT_TRUE(GLEW_VERSION_2_0);
  EXPECT_NE(nullptr, reinterpret_cast<void*>(glCreateShader));

  wglMakeCurrent(nullptr, nullptr);
  wglDeleteContext(context);
  ReleaseDC(window, dc);
  DestroyWindow(window);
  UnregisterClassW(wc.lpszClassName, instance);
}
