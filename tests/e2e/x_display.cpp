// The private X display: Xvfb, window lookup by caption, screenshots and XTest input.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "harness.h"

namespace vorn::e2e {
namespace {

constexpr Millis kXvfbStartBudget{20000};
constexpr Millis kXvfbStopBudget{5000};
constexpr int kScreenDepth = 24;
constexpr int kMaxTreeDepth = 4;
constexpr long kMaxPropertyLongs = 4096;
constexpr std::size_t kMaxListedWindows = 12;

int IgnoreXError(Display*, XErrorEvent*) { return 0; }

// Owns one file descriptor.
class UniqueFd {
 public:
  explicit UniqueFd(int fd) : fd_(fd) {}
  ~UniqueFd() { Reset(); }
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;
  int Get() const { return fd_; }
  void Reset() {
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
  }

 private:
  int fd_;
};

// Frees what Xlib allocated.
struct XFreeDeleter {
  void operator()(void* data) const {
    if (data != nullptr) XFree(data);
  }
};
template <typename T>
using XPtr = std::unique_ptr<T, XFreeDeleter>;

struct XImageDeleter {
  void operator()(XImage* image) const { XDestroyImage(image); }
};

std::optional<std::string> Utf8Property(Display* display, Window window, const char* name) {
  Atom type = 0;
  int format = 0;
  unsigned long count = 0, remaining = 0;
  unsigned char* raw = nullptr;
  const Atom property = XInternAtom(display, name, False);
  const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
  if (XGetWindowProperty(display, window, property, 0, kMaxPropertyLongs, False, utf8, &type, &format,
                         &count, &remaining, &raw) != Success) {
    return std::nullopt;
  }
  XPtr<unsigned char> data(raw);
  if (type != utf8 || format != 8 || data == nullptr) return std::nullopt;
  return std::string(reinterpret_cast<const char*>(data.get()), count);
}

std::optional<std::string> LegacyName(Display* display, Window window) {
  XTextProperty text{};
  if (XGetWMName(display, window, &text) == 0 || text.value == nullptr) return std::nullopt;
  XPtr<unsigned char> value(text.value);
  char** list = nullptr;
  int count = 0;
  if (Xutf8TextPropertyToTextList(display, &text, &list, &count) < Success || list == nullptr) {
    return std::string(reinterpret_cast<const char*>(text.value), text.nitems);
  }
  std::string caption = count > 0 ? list[0] : "";
  XFreeStringList(list);
  return caption;
}

long WindowPid(Display* display, Window window) {
  Atom type = 0;
  int format = 0;
  unsigned long count = 0, remaining = 0;
  unsigned char* raw = nullptr;
  const Atom property = XInternAtom(display, "_NET_WM_PID", False);
  if (XGetWindowProperty(display, window, property, 0, 1, False, XA_CARDINAL, &type, &format, &count,
                         &remaining, &raw) != Success) {
    return -1;
  }
  XPtr<unsigned char> data(raw);
  if (type != XA_CARDINAL || format != 32 || count != 1) return -1;
  return static_cast<long>(*reinterpret_cast<unsigned long*>(data.get()));
}

int MaskShift(unsigned long mask) {
  int shift = 0;
  while (mask != 0 && (mask & 1) == 0) {
    mask >>= 1;
    ++shift;
  }
  return shift;
}

std::string ListForMessage(const std::vector<WindowInfo>& windows) {
  if (windows.empty()) return " (no captioned windows)";
  std::string text;
  for (std::size_t i = 0; i < windows.size() && i < kMaxListedWindows; ++i) {
    text += "\n  " + windows[i].Describe();
  }
  if (windows.size() > kMaxListedWindows) text += "\n  …";
  return text;
}

// Reads the display number Xvfb writes to -displayfd once it accepts connections.
std::string ReadDisplayNumber(int fd, ChildProcess& server, const Deadline& deadline) {
  std::string number;
  while (number.empty() || number.back() != '\n') {
    pollfd entry{fd, POLLIN, 0};
    const int ready = poll(&entry, 1, static_cast<int>(deadline.Remaining().count()));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) {
      throw E2eError("waited " + std::to_string(deadline.Budget().count()) +
                     " ms for Xvfb to report its display number; got '" + number + "'; output:\n" +
                     server.LogTail());
    }
    char buffer[32];
    const auto got = read(fd, buffer, sizeof buffer);
    if (got <= 0) {
      throw E2eError("Xvfb ended before reporting a display number (" +
                     (server.IsRunning() ? std::string("still running") : std::string("exited")) +
                     "); output:\n" + server.LogTail());
    }
    number.append(buffer, static_cast<std::size_t>(got));
  }
  number.pop_back();
  return number;
}

}  // namespace

std::string WindowInfo::Describe() const {
  char id_text[32];
  std::snprintf(id_text, sizeof id_text, "0x%lx", id);
  if (caption.empty() && pid < 0) return std::string(id_text) + " (gone before it could be read)";
  return std::string(id_text) + " '" + caption + "' " + vorn::e2e::Describe(geometry) +
         (viewable ? " viewable" : " not viewable") + " pid " + std::to_string(pid);
}

// ---------------------------------------------------------------- XClient

XClient::XClient(const std::string& displayName) {
  XSetErrorHandler(IgnoreXError);
  display_ = XOpenDisplay(displayName.c_str());
  if (display_ == nullptr) throw E2eError("cannot connect to X display " + displayName);
  int event = 0, error = 0, major = 0, minor = 0;
  if (!XTestQueryExtension(display_, &event, &error, &major, &minor)) {
    XCloseDisplay(display_);
    throw E2eError("X display " + displayName + " has no XTEST extension");
  }
}

XClient::~XClient() {
  if (display_ != nullptr) XCloseDisplay(display_);
}

Size XClient::ScreenSize() const {
  const int screen = DefaultScreen(display_);
  return {DisplayWidth(display_, screen), DisplayHeight(display_, screen)};
}

void XClient::Sync() const { XSync(display_, False); }

std::optional<WindowInfo> XClient::ReadWindow(unsigned long id) const {
  XWindowAttributes attributes{};
  if (XGetWindowAttributes(display_, id, &attributes) == 0) return std::nullopt;
  WindowInfo info;
  info.id = id;
  info.viewable = attributes.map_state == IsViewable;
  int x = 0, y = 0;
  Window child = 0;
  if (!XTranslateCoordinates(display_, id, DefaultRootWindow(display_), 0, 0, &x, &y, &child)) {
    return std::nullopt;
  }
  info.geometry = {x, y, attributes.width, attributes.height};
  auto caption = Utf8Property(display_, id, "_NET_WM_NAME");
  if (!caption) caption = LegacyName(display_, id);
  info.caption = caption.value_or("");
  info.pid = WindowPid(display_, id);
  return info;
}

void XClient::CollectWindows(unsigned long parent, int depth, std::vector<WindowInfo>& out) const {
  Window root = 0, parentOut = 0;
  Window* children = nullptr;
  unsigned int count = 0;
  if (XQueryTree(display_, parent, &root, &parentOut, &children, &count) == 0) return;
  XPtr<Window> owned(children);
  for (unsigned int i = 0; i < count; ++i) {
    const auto info = ReadWindow(children[i]);
    if (info && !info->caption.empty()) out.push_back(*info);
    if (depth < kMaxTreeDepth) CollectWindows(children[i], depth + 1, out);
  }
}

std::vector<WindowInfo> XClient::ListWindows() const {
  std::vector<WindowInfo> windows;
  CollectWindows(DefaultRootWindow(display_), 1, windows);
  return windows;
}

std::vector<WindowInfo> XClient::FindWindows(std::string_view caption) const {
  std::vector<WindowInfo> matches;
  for (auto& window : ListWindows()) {
    if (window.caption == caption) matches.push_back(std::move(window));
  }
  return matches;
}

WindowInfo XClient::FindWindowByCaption(std::string_view caption, const Deadline& deadline) const {
  std::optional<WindowInfo> found;
  const bool ok = PollUntil(deadline, [&] {
    for (const auto& window : FindWindows(caption)) {
      if (window.viewable) found = window;
    }
    return found.has_value();
  });
  if (ok) return *found;
  throw E2eError("waited " + std::to_string(deadline.Budget().count()) +
                 " ms for a viewable window captioned '" + std::string(caption) +
                 "'; windows on the display:" + ListForMessage(ListWindows()));
}

void XClient::WaitWindowGone(std::string_view caption, const Deadline& deadline) const {
  std::vector<WindowInfo> visible;
  const bool gone = PollUntil(deadline, [&] {
    visible.clear();
    for (const auto& window : FindWindows(caption)) {
      if (window.viewable) visible.push_back(window);
    }
    return visible.empty();
  });
  if (gone) return;
  throw E2eError("waited " + std::to_string(deadline.Budget().count()) +
                 " ms for the window captioned '" + std::string(caption) +
                 "' to go; still viewable:" + ListForMessage(visible));
}

RgbImage XClient::Capture() const {
  const Size size = ScreenSize();
  return Capture({0, 0, size.width, size.height});
}

RgbImage XClient::Capture(const Rect& rect) const {
  const Size screen = ScreenSize();
  if (rect.x < 0 || rect.y < 0 || rect.width <= 0 || rect.height <= 0 ||
      rect.x + rect.width > screen.width || rect.y + rect.height > screen.height) {
    throw E2eError("cannot capture " + Describe(rect) + ": outside the screen");
  }
  XImage* raw = XGetImage(display_, DefaultRootWindow(display_), rect.x, rect.y,
                          static_cast<unsigned>(rect.width), static_cast<unsigned>(rect.height),
                          AllPlanes, ZPixmap);
  if (raw == nullptr) throw E2eError("XGetImage failed for " + Describe(rect));
  std::unique_ptr<XImage, XImageDeleter> image(raw);
  const int redShift = MaskShift(image->red_mask);
  const int greenShift = MaskShift(image->green_mask);
  const int blueShift = MaskShift(image->blue_mask);
  RgbImage out(rect.width, rect.height);
  for (int y = 0; y < rect.height; ++y) {
    for (int x = 0; x < rect.width; ++x) {
      const unsigned long pixel = XGetPixel(image.get(), x, y);
      out.Set(x, y,
              {static_cast<std::uint8_t>((pixel & image->red_mask) >> redShift),
               static_cast<std::uint8_t>((pixel & image->green_mask) >> greenShift),
               static_cast<std::uint8_t>((pixel & image->blue_mask) >> blueShift)});
    }
  }
  return out;
}

RgbImage XClient::WaitForCapture(const Rect& rect,
                                 const std::function<bool(const RgbImage&)>& accept,
                                 std::string_view what, const Deadline& deadline) const {
  RgbImage image;
  if (PollUntil(deadline, [&] { return accept(image = Capture(rect)); })) return image;
  const Point middle{rect.width / 2, rect.height / 2};
  throw E2eError("waited " + std::to_string(deadline.Budget().count()) + " ms for " +
                 std::string(what) + " in " + Describe(rect) + "; the last capture shows " +
                 Describe(image.At(middle.x, middle.y)) + " in its middle");
}

// ---------------------------------------------------------------- input

void XClient::MoveMouseTo(Point position) const {
  XTestFakeMotionEvent(display_, DefaultScreen(display_), position.x, position.y, CurrentTime);
  Sync();
}

void XClient::MoveMouseBy(int dx, int dy) const {
  XTestFakeRelativeMotionEvent(display_, dx, dy, CurrentTime);
  Sync();
}

void XClient::PressButton(int button) const {
  XTestFakeButtonEvent(display_, static_cast<unsigned>(button), True, CurrentTime);
  Sync();
}

void XClient::ReleaseButton(int button) const {
  XTestFakeButtonEvent(display_, static_cast<unsigned>(button), False, CurrentTime);
  Sync();
}

void XClient::ClickButton(int button) const {
  PressButton(button);
  ReleaseButton(button);
}

unsigned XClient::KeycodeFor(std::string_view keysymName) const {
  const std::string name(keysymName);
  const KeySym keysym = XStringToKeysym(name.c_str());
  if (keysym == NoSymbol) throw E2eError("unknown keysym name '" + name + "'");
  const KeyCode keycode = XKeysymToKeycode(display_, keysym);
  if (keycode == 0) throw E2eError("no key produces keysym '" + name + "' on this display");
  return keycode;
}

void XClient::PressKey(std::string_view keysymName) const {
  XTestFakeKeyEvent(display_, KeycodeFor(keysymName), True, CurrentTime);
  Sync();
}

void XClient::ReleaseKey(std::string_view keysymName) const {
  XTestFakeKeyEvent(display_, KeycodeFor(keysymName), False, CurrentTime);
  Sync();
}

void XClient::TapKey(std::string_view keysymName) const {
  PressKey(keysymName);
  ReleaseKey(keysymName);
}

Point XClient::PointerPosition() const {
  Window root = 0, child = 0;
  int rootX = 0, rootY = 0, winX = 0, winY = 0;
  unsigned int mask = 0;
  XQueryPointer(display_, DefaultRootWindow(display_), &root, &child, &rootX, &rootY, &winX, &winY,
                &mask);
  return {rootX, rootY};
}

bool XClient::IsKeyDown(std::string_view keysymName) const {
  char keys[32] = {};
  XQueryKeymap(display_, keys);
  const unsigned keycode = KeycodeFor(keysymName);
  return (keys[keycode / 8] & (1 << (keycode % 8))) != 0;
}

bool XClient::IsButtonDown(int button) const {
  Window root = 0, child = 0;
  int rootX = 0, rootY = 0, winX = 0, winY = 0;
  unsigned int mask = 0;
  XQueryPointer(display_, DefaultRootWindow(display_), &root, &child, &rootX, &rootY, &winX, &winY,
                &mask);
  return button >= 1 && button <= 5 && (mask & (Button1Mask << (button - 1))) != 0;
}

// ---------------------------------------------------------------- MapWatch

MapWatch::MapWatch(const std::string& displayName) : client_(displayName) {
  XSelectInput(client_.Raw(), DefaultRootWindow(client_.Raw()), SubstructureNotifyMask);
  client_.Sync();
}

const std::vector<WindowInfo>& MapWatch::Mapped() {
  Display* display = client_.Raw();
  XSync(display, False);
  while (XPending(display) > 0) {
    XEvent event{};
    XNextEvent(display, &event);
    if (event.type != MapNotify) continue;
    const Window window = event.xmap.window;
    mapped_.push_back(client_.ReadWindow(window).value_or(WindowInfo{window, "", {}, false, -1}));
  }
  return mapped_;
}

// ---------------------------------------------------------------- VirtualDisplay

VirtualDisplay::VirtualDisplay(const fs::path& logDir, Size screen) : size_(screen) {
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) throw E2eError("pipe2 for Xvfb: " + std::string(strerror(errno)));
  UniqueFd readEnd(fds[0]), writeEnd(fds[1]);
  const std::string geometry = std::to_string(screen.width) + "x" + std::to_string(screen.height) +
                               "x" + std::to_string(kScreenDepth);
  server_ = std::make_unique<ChildProcess>(SpawnOptions{
      "Xvfb",
      {"Xvfb", "-displayfd", "3", "-screen", "0", geometry, "-nolisten", "tcp", "-noreset"},
      {},
      {},
      NextLogFile(logDir, "Xvfb"),
      writeEnd.Get()});
  writeEnd.Reset();
  name_ = ":" + ReadDisplayNumber(readEnd.Get(), *server_, Deadline::In(kXvfbStartBudget));
  client_ = std::make_unique<XClient>(name_);
  if (client_->ScreenSize() != screen) {
    throw E2eError("Xvfb " + name_ + " came up with a different screen size than " + geometry);
  }
}

VirtualDisplay::~VirtualDisplay() {
  client_.reset();
  if (server_) server_->Stop(Deadline::In(kXvfbStopBudget));
}

}  // namespace vorn::e2e
