#include "x11/x11_prompt_window.h"

#include <algorithm>

PromptWindow::PromptWindow(Display* display, const IRect& screenRect)
    : mDisplay(display), mRect(screenRect), mBitmap(screenRect.W(), screenRect.H())
{
  XSetWindowAttributes attributes{};
  attributes.override_redirect = True;
  attributes.save_under = True;
  attributes.event_mask =
      ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask | KeyPressMask;
  const int screen = DefaultScreen(display);
  mWindow = XCreateWindow(
      display, RootWindow(display, screen), mRect.L, mRect.T, unsigned(std::max(1, mRect.W())),
      unsigned(std::max(1, mRect.H())), 0, DefaultDepth(display, screen), InputOutput,
      DefaultVisual(display, screen), CWOverrideRedirect | CWSaveUnder | CWEventMask, &attributes);
  XMapRaised(display, mWindow);
  mSurface = std::make_unique<X11Surface>(display, mWindow, DefaultVisual(display, screen),
                                          DefaultDepth(display, screen), mRect.W(), mRect.H());
}

PromptWindow::~PromptWindow()
{
  mSurface.reset();
  XDestroyWindow(mDisplay, mWindow);
  XFlush(mDisplay);
}

void PromptWindow::Present()
{
  mSurface->Put(mBitmap, IRect(0, 0, mRect.W(), mRect.H()));
}

InputGrab::InputGrab(Display* display, Window window) : mDisplay(display)
{
  // The window must be viewable before it can be grabbed.
  XSync(display, False);
  // Every event is reported to the prompt's window, even over the editor
  // that has the focus (positions are taken from the screen).
  XGrabPointer(display, window, False, ButtonPressMask | ButtonReleaseMask | PointerMotionMask,
               GrabModeAsync, GrabModeAsync, None, None, CurrentTime);
  XGrabKeyboard(display, window, False, GrabModeAsync, GrabModeAsync, CurrentTime);
}

InputGrab::~InputGrab()
{
  XUngrabKeyboard(mDisplay, CurrentTime);
  XUngrabPointer(mDisplay, CurrentTime);
  XFlush(mDisplay);
}
