#include "x11_host_window.h"

#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <chrono>
#include <thread>

X11HostWindow::X11HostWindow(int width, int height)
{
  // A server busy with many short connections now and then refuses one.
  for (int attempt = 0; attempt < 5 && !mDisplay; ++attempt)
  {
    if (attempt) std::this_thread::sleep_for(std::chrono::milliseconds(100));
    mDisplay = XOpenDisplay(nullptr);
  }
  if (!mDisplay) return;
  const int screen = DefaultScreen(mDisplay);
  mWindow = XCreateSimpleWindow(mDisplay, RootWindow(mDisplay, screen), 0, 0, unsigned(width),
                                unsigned(height), 0, BlackPixel(mDisplay, screen),
                                BlackPixel(mDisplay, screen));
  XStoreName(mDisplay, mWindow, "Thudwerk host");
  XMapWindow(mDisplay, mWindow);
  XSync(mDisplay, False);
}

X11HostWindow::~X11HostWindow()
{
  if (!mDisplay) return;
  Destroy();
  XCloseDisplay(mDisplay);
}

void X11HostWindow::Destroy()
{
  if (!mWindow) return;
  XDestroyWindow(mDisplay, mWindow);
  XSync(mDisplay, False);
  mWindow = 0;
}

std::vector<Window> X11HostWindow::Children(Window parent) const
{
  std::vector<Window> result;
  Window root = 0;
  Window up = 0;
  Window* children = nullptr;
  unsigned count = 0;
  if (!mDisplay || !XQueryTree(mDisplay, parent ? parent : mWindow, &root, &up, &children, &count))
    return result;
  result.assign(children, children + count);
  if (children) XFree(children);
  return result;
}

std::vector<Window> X11HostWindow::PromptWindows() const
{
  std::vector<Window> prompts;
  for (Window window : Children(DefaultRootWindow(mDisplay)))
  {
    XWindowAttributes attributes{};
    if (XGetWindowAttributes(mDisplay, window, &attributes) && attributes.override_redirect &&
        attributes.map_state == IsViewable)
      prompts.push_back(window);
  }
  return prompts;
}

std::vector<uint32_t> X11HostWindow::ReadBack(Window window, int& width, int& height) const
{
  std::vector<uint32_t> pixels;
  XWindowAttributes attributes{};
  width = height = 0;
  if (!mDisplay || !XGetWindowAttributes(mDisplay, window, &attributes)) return pixels;
  XImage* image = XGetImage(mDisplay, window, 0, 0, unsigned(attributes.width),
                            unsigned(attributes.height), AllPlanes, ZPixmap);
  if (!image) return pixels;
  width = attributes.width;
  height = attributes.height;
  pixels.reserve(size_t(width) * size_t(height));
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
    {
      const unsigned long p = XGetPixel(image, x, y);
      const auto channel = [p](unsigned long mask)
      {
        int shift = 0;
        while (mask && !(mask & 1))
        {
          mask >>= 1;
          ++shift;
        }
        return mask ? uint32_t(((p >> shift) & mask) * 255 / mask) : 0u;
      };
      pixels.push_back(channel(image->red_mask) << 16 | channel(image->green_mask) << 8 |
                       channel(image->blue_mask));
    }
  XDestroyImage(image);
  return pixels;
}

void X11HostWindow::MoveTo(Window window, int x, int y)
{
  int rootX = 0;
  int rootY = 0;
  Window child;
  XTranslateCoordinates(mDisplay, window, DefaultRootWindow(mDisplay), x, y, &rootX, &rootY,
                        &child);
  XTestFakeMotionEvent(mDisplay, -1, rootX, rootY, CurrentTime);
  Sync();
}

void X11HostWindow::Button(int button, bool press)
{
  XTestFakeButtonEvent(mDisplay, unsigned(button), press ? True : False, CurrentTime);
  Sync();
}

void X11HostWindow::Click(Window window, int x, int y, int button)
{
  MoveTo(window, x, y);
  Button(button, true);
  Button(button, false);
}

void X11HostWindow::Key(unsigned long keysym, bool shift)
{
  const KeyCode shiftCode = XKeysymToKeycode(mDisplay, XK_Shift_L);
  const KeyCode code = XKeysymToKeycode(mDisplay, keysym);
  if (shift) XTestFakeKeyEvent(mDisplay, shiftCode, True, CurrentTime);
  XTestFakeKeyEvent(mDisplay, code, True, CurrentTime);
  XTestFakeKeyEvent(mDisplay, code, False, CurrentTime);
  if (shift) XTestFakeKeyEvent(mDisplay, shiftCode, False, CurrentTime);
  Sync();
}

void X11HostWindow::Type(const char* text)
{
  for (const char* c = text; *c; ++c)
  {
    const bool upper = *c >= 'A' && *c <= 'Z';
    Key(upper ? KeySym(*c - 'A' + 'a') : KeySym(static_cast<unsigned char>(*c)), upper);
  }
}

void X11HostWindow::Sync()
{
  XSync(mDisplay, False);
}
