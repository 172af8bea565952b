// The brushes through the real editor: the test opens the editor over its own image (with the
// host's resource module), and from inside the editor's modal loop presses, drags and releases
// on the canvas with each tool, then checks the caller's pixels and the retouch history.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "retouch/canvas/canvas_window.h"
#include "retouch/canvas/strokes.h"
#include "retouch/frame/brush_cursor.h"
#include "retouch/frame/editor.h"
#include "retouch/frame/editor_globals.h"
#include "retouch/imaging/brush_ops.h"
#include "retouch/imaging/brushes.h"
#include "retouch/imaging/history.h"
#include "test_images.h"
#include "wintest.h"

namespace {

using wintest::MakeImage;
using wintest::OwnedDib;

// The tool window saves every tool's options beside the program when the editor closes; each
// run of this program starts and ends without that file.
class SettingsFiles : public testing::Environment {
 public:
  void SetUp() override { Remove(); }
  void TearDown() override { Remove(); }
 private:
  static void Remove() {
    for (const char* name : {"KVRTCH.INI", "KVRTOUCH.INI"}) DeleteFileA((wintest::ProgramDir() + name).c_str());
  }
};
const auto* const g_settingsFiles = testing::AddGlobalTestEnvironment(new SettingsFiles);

constexpr int kWidth = 120, kHeight = 90;

COLORREF Original(int x, int y) { return RGB((x * 2) & 0xFF, (y * 2) & 0xFF, 60); }

// One editor run, driven from inside its modal loop.
class Session {
 public:
  explicit Session(DibHandle image) : image_(image) {}

  HWND canvas() const { return g_state->canvasWindow; }
  RetouchState* state() const { return g_state; }
  DibHandle image() const { return image_; }

  COLORREF Pixel(int x, int y) const {
    COLORREF c = 0xFFFFFFFF;
    DibGetPixel(image_, x, y, &c);
    return c;
  }

  // The tool window's button, then the brush settings its other controls would set.
  void Tool(int tool, int width, int height, COLORREF color = RGB(255, 0, 0), int strength = 100, int option = 0,
            int shape = 0) {
    HWND tools = g_state->toolWindow;
    SendMessageA(tools, WM_COMMAND, MAKEWPARAM(tool, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(tools, tool)));
    g_state->brushWidth = width;
    g_state->brushHeight = height;
    g_state->brushColor = color;
    g_state->brushStrength = strength;
    g_state->brushOption = option;
    g_state->brushShape = shape;
    RebuildBrushCursor(canvas(), TRUE);
  }

  // The pointer comes over the canvas (what the modal loop tells the canvas).
  void Enter() {
    Point(kWidth / 2, kHeight / 2);
    g_state->pointerInCanvas = 1;
    SendMessageA(canvas(), WM_CANVAS_POINTER_ENTERED, 0, 0);
  }

  void Press(int x, int y) {
    Point(x, y);
    SendMessageA(canvas(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
  }
  void Move(int x, int y, WPARAM buttons = MK_LBUTTON) {
    Point(x, y);
    SendMessageA(canvas(), WM_MOUSEMOVE, buttons, MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)));
  }
  void Release(int x, int y) {
    Point(x, y);
    SendMessageA(canvas(), WM_LBUTTONUP, 0, MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)));
  }
  void Click(int x, int y) {
    Press(x, y);
    Release(x, y);
  }

  int Entries() const { return g_state->historyCount; }
  RECT EntryRect(int i) const {
    const HistoryEntry& e = g_state->history[i];
    return RECT{e.left, e.top, e.right, e.bottom};
  }

 private:
  // Client (device) point of the canvas to the screen, where the brush cursor looks.
  void Point(int x, int y) {
    POINT p{x, y};
    ClientToScreen(canvas(), &p);
    SetCursorPos(p.x, p.y);
  }
  DibHandle image_;
};

std::string Str(const RECT& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
         std::to_string(r.bottom);
}

std::function<void()> g_script;

void CALLBACK RunScript(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  if (g_state && g_state->canvasWindow) g_script();
  // Accept: the tool window's OK button.
  if (g_state && g_state->toolWindow)
    SendMessageA(g_state->toolWindow, WM_COMMAND, MAKEWPARAM(8, BN_CLICKED), 0);
}

// Opens the editor over `image` with a client area of clientW x clientH (the image is stretched
// over it) and runs `script` inside the editor. Returns the editor's result.
int RunEditor(DibHandle image, const std::function<void(Session&)>& script, int clientW = kWidth,
              int clientH = kHeight) {
  static HMODULE resources = LoadLibraryA("HostRes.dll");
  EXPECT_NE(resources, nullptr);
  g_libraryInstance = GetModuleHandleA(nullptr);
  RetouchEditor_SetModules(resources, resources);
  Session session(image);
  bool ran = false;
  g_script = [&] {
    ran = true;
    script(session);
  };
  const int fx = GetSystemMetrics(SM_CXFRAME), fy = GetSystemMetrics(SM_CYFRAME);
  RECT frame{40, 40, 40 + clientW + 2 * fx, 40 + clientH + 2 * fy + GetSystemMetrics(SM_CYCAPTION)};
  POINT tools{600, 40};
  SetTimer(nullptr, 0, 1, RunScript);
  const int result = RetouchEditor_Open(nullptr, image, &frame, &tools);
  EXPECT_TRUE(ran);
  EXPECT_EQ(g_state, nullptr);
  return result;
}

// ---- Brush mask -------------------------------------------------------------------------------

TEST(BrushMask, DrawnLikeTheSystemsOwnShapes) {
  auto maskAt = [](DibHandle mask, int x, int y) {
    DibLock lock(mask);
    // Row r of the block is row r of the drawing: the first stored row is the top.
    return lock.view().bits[static_cast<size_t>(y) * lock.view().stride + x];
  };
  const DWORD gdiBefore = wintest::GdiObjects();
  for (int shape = 0; shape < 2; ++shape) {
    for (const SIZE size : {SIZE{16, 16}, SIZE{13, 7}, SIZE{48, 48}, SIZE{3, 9}, SIZE{96, 40}}) {
      OwnedDib mask(DrawBrushMask(size.cx, size.cy, shape));
      ASSERT_NE(mask.h, nullptr);
      int w = 0, h = 0, bits = 0;
      ASSERT_TRUE(DibGetInfo(mask.h, &w, &h, &bits));
      EXPECT_EQ(w, size.cx);
      EXPECT_EQ(h, size.cy);
      EXPECT_EQ(bits, 8);
      // The same shape through GDI on a 32-bit surface.
      wintest::Canvas32 reference(size.cx, size.cy, RGB(0, 0, 0));
      HGDIOBJ pen = SelectObject(reference.dc(), GetStockObject(NULL_PEN));
      HGDIOBJ fill = SelectObject(reference.dc(), GetStockObject(WHITE_BRUSH));
      if (shape == 0) Ellipse(reference.dc(), 0, 0, size.cx, size.cy);
      else Rectangle(reference.dc(), 0, 0, size.cx, size.cy);
      SelectObject(reference.dc(), pen);
      SelectObject(reference.dc(), fill);
      int inside = 0;
      for (int y = 0; y < size.cy; ++y)
        for (int x = 0; x < size.cx; ++x) {
          const int want = reference.Pixel(x, y) != RGB(0, 0, 0) ? 1 : 0;
          ASSERT_EQ(maskAt(mask.h, x, y), want) << shape << " " << size.cx << "x" << size.cy << " at " << x << "," << y;
          inside += want;
        }
      EXPECT_GT(inside, 0);
      if (shape == 0) {
        EXPECT_EQ(maskAt(mask.h, 0, 0), 0);
      }
    }
  }
  // A 1 x 1 brush is one pixel; narrower or lower than 3, the whole rectangle.
  OwnedDib one(DrawBrushMask(1, 1, 0));
  EXPECT_EQ(maskAt(one.h, 0, 0), 1);
  OwnedDib thin(DrawBrushMask(2, 7, 0));
  for (int y = 0; y < 7; ++y)
    for (int x = 0; x < 2; ++x) EXPECT_EQ(maskAt(thin.h, x, y), 1);
  OwnedDib flat(DrawBrushMask(9, 2, 0));
  EXPECT_EQ(maskAt(flat.h, 0, 0), 1);
  EXPECT_EQ(maskAt(flat.h, 8, 1), 1);
  EXPECT_EQ(DrawBrushMask(0, 5, 0), nullptr);
  EXPECT_EQ(wintest::GdiObjects(), gdiBefore);
}

// ---- Strokes through the canvas ---------------------------------------------------------------

TEST(CanvasStrokes, PaintStrokeColoursItsPathOnceAndRecordsOneEntry) {
  OwnedDib image(MakeImage(kWidth, kHeight, Original));
  const int result = RunEditor(image.h, [&](Session& s) {
    s.Tool(TOOL_PAINT, 5, 5, RGB(200, 100, 0), 50);
    s.Enter();
    s.Press(20, 20);
    s.Move(40, 20);
    s.Move(40, 40);
    s.Move(20, 20);  // back over the start: the stroke crosses itself
    s.Release(20, 20);
    // (old * 50 + colour * 50) / 100, once, also where the stroke crossed itself.
    const COLORREF o = Original(30, 20);
    const COLORREF want = RGB((GetRValue(o) + 200) / 2, (GetGValue(o) + 100) / 2, (GetBValue(o) + 0) / 2);
    EXPECT_EQ(s.Pixel(30, 20), want);
    const COLORREF c = Original(20, 20);
    EXPECT_EQ(s.Pixel(20, 20), RGB((GetRValue(c) + 200) / 2, (GetGValue(c) + 100) / 2, GetBValue(c) / 2));
    EXPECT_EQ(s.Pixel(30, 30), RGB((GetRValue(Original(30, 30)) + 200) / 2, (GetGValue(Original(30, 30)) + 100) / 2,
                                   GetBValue(Original(30, 30)) / 2));
    EXPECT_EQ(s.Pixel(60, 60), Original(60, 60));
    EXPECT_EQ(s.Pixel(20, 30), Original(20, 30));  // beside the diagonal, beyond the 5 x 5 brush
    ASSERT_EQ(s.Entries(), 1);
    // min 20, 20; max 40, 40; halves 2: (20-2-1, 20-2-1, 40+2+1, 40+2+2)
    EXPECT_EQ(Str(s.EntryRect(0)), "17,17,43,44");
    EXPECT_EQ(s.state()->history[0].tool, TOOL_PAINT);

    // Undo puts the picture back; redo brings the stroke again.
    EXPECT_EQ(HistoryStep(TRUE), 1);
    EXPECT_EQ(s.Pixel(30, 20), Original(30, 20));
    EXPECT_EQ(s.Pixel(20, 20), Original(20, 20));
    EXPECT_EQ(HistoryStep(TRUE), 0);
    EXPECT_EQ(HistoryStep(FALSE), 1);
    EXPECT_EQ(s.Pixel(30, 20), want);
  });
  EXPECT_EQ(result, 1);
}

TEST(CanvasStrokes, SoftPaintWeighsTheBrush) {
  OwnedDib image(MakeImage(kWidth, kHeight, [](int, int) { return RGB(0, 0, 0); }));
  RunEditor(image.h, [&](Session& s) {
    s.Tool(TOOL_PAINT, 8, 8, RGB(255, 255, 255), 100, 1, 1);
    s.Enter();
    s.Click(50, 50);
    // Dab rectangle (46, 46)-(54, 54): the centre full, dx = -2 gives 91 %, the edge nothing.
    EXPECT_EQ(s.Pixel(50, 50), RGB(255, 255, 255));
    EXPECT_EQ(s.Pixel(47, 50), RGB(232, 232, 232));
    EXPECT_EQ(s.Pixel(46, 50), RGB(0, 0, 0));
    EXPECT_EQ(s.Entries(), 1);
  });
}

TEST(CanvasStrokes, RestoreBringsBackTheOpenedImage) {
  OwnedDib image(MakeImage(kWidth, kHeight, Original));
  RunEditor(image.h, [&](Session& s) {
    s.Tool(TOOL_PAINT, 10, 10, RGB(0, 0, 255));
    s.Enter();
    s.Press(30, 30);
    s.Move(70, 30);
    s.Release(70, 30);
    EXPECT_EQ(s.Pixel(50, 30), RGB(0, 0, 255));
    s.Tool(TOOL_RESTORE, 10, 10, 0, 100);
    s.Press(45, 30);
    s.Move(55, 30);  // single dabs trail the pointer: the last point is not dabbed
    s.Move(56, 30);
    s.Release(56, 30);
    // Dabs at 45 (press and first movement) and 55: columns 40 .. 59.
    EXPECT_EQ(s.Pixel(50, 30), Original(50, 30));
    EXPECT_EQ(s.Pixel(42, 30), Original(42, 30));
    EXPECT_EQ(s.Pixel(58, 30), Original(58, 30));
    EXPECT_EQ(s.Pixel(61, 30), RGB(0, 0, 255));
    EXPECT_EQ(s.Entries(), 2);
    // Undo the restore: the paint is back; undo the paint: the original.
    EXPECT_EQ(HistoryStep(TRUE), 1);
    EXPECT_EQ(s.Pixel(50, 30), RGB(0, 0, 255));
    EXPECT_EQ(HistoryStep(TRUE), 1);
    EXPECT_EQ(s.Pixel(50, 30), Original(50, 30));
    EXPECT_EQ(s.Pixel(62, 30), Original(62, 30));
    // A new stroke after undoing drops both redo entries.
    s.Tool(TOOL_PAINT, 4, 4, RGB(9, 9, 9));
    s.Click(10, 80);
    EXPECT_EQ(s.Entries(), 1);
    EXPECT_EQ(s.state()->historyPosition, 1);
    EXPECT_EQ(HistoryStep(FALSE), 0);
  });
}

TEST(CanvasStrokes, SprayKeepsPaintingWhileThePointerStandsStill) {
  OwnedDib image(MakeImage(kWidth, kHeight, [](int, int) { return RGB(0, 0, 0); }));
  RunEditor(image.h, [&](Session& s) {
    s.Tool(TOOL_SPRAY, 4, 4, RGB(200, 200, 200), 20);
    s.Enter();
    s.Press(60, 40);
    const BYTE first = GetRValue(s.Pixel(60, 40));
    EXPECT_EQ(first, 40);  // one dab: 200 * 20 / 100
    // (4 + 4) * 2 + 55 = 71 ms between dabs.
    EXPECT_TRUE(wintest::PumpUntil([&] { return GetRValue(s.Pixel(60, 40)) >= 100; }, 3000));
    s.Release(60, 40);
    const COLORREF after = s.Pixel(60, 40);
    wintest::Pump(250);
    EXPECT_EQ(s.Pixel(60, 40), after);  // the timer stopped with the release
    ASSERT_EQ(s.Entries(), 1);
    EXPECT_EQ(Str(s.EntryRect(0)), "57,37,63,44");
    EXPECT_EQ(HistoryStep(TRUE), 1);
    EXPECT_EQ(s.Pixel(60, 40), RGB(0, 0, 0));
  });
}

TEST(CanvasStrokes, SoftSprayIsTwiceTheSize) {
  OwnedDib image(MakeImage(kWidth, kHeight, [](int, int) { return RGB(0, 0, 0); }));
  RunEditor(image.h, [&](Session& s) {
    s.Tool(TOOL_SPRAY, 6, 6, RGB(250, 250, 250), 100, 1);
    EXPECT_EQ(s.state()->brushScale, 2);
    s.Enter();
    s.Click(60, 40);
    EXPECT_EQ(s.Pixel(60, 40), RGB(250, 250, 250));
    EXPECT_NE(s.Pixel(60 + 4, 40), RGB(0, 0, 0));  // beyond a 6-wide brush, inside a 12-wide one
    ASSERT_EQ(s.Entries(), 1);
    // halves (6 / 2) * 2 = 6: (60-6-1, 40-6-1, 60+6+1, 40+6+2)
    EXPECT_EQ(Str(s.EntryRect(0)), "53,33,67,48");
  });
}

TEST(CanvasStrokes, StampSamplesOnItsFirstClickAndPaintsOnTheNext) {
  OwnedDib image(MakeImage(kWidth, kHeight, Original));
  RunEditor(image.h, [&](Session& s) {
    s.Tool(TOOL_STAMP, 6, 6, RGB(1, 2, 3), 100, 0, 1);
    s.Enter();
    s.Click(20, 20);
    EXPECT_NE(s.state()->cloneSample, nullptr);
    EXPECT_EQ(s.Entries(), 0);
    for (int y = 14; y < 26; ++y)
      for (int x = 14; x < 26; ++x) ASSERT_EQ(s.Pixel(x, y), Original(x, y));
    s.Press(70, 50);
    s.Move(80, 50);  // dragging the stamp does nothing
    s.Release(80, 50);
    // The sample's centre (20, 20) lands on the click's centre (70, 50).
    EXPECT_EQ(s.Pixel(70, 50), Original(20, 20));
    EXPECT_EQ(s.Pixel(68, 49), Original(18, 19));
    EXPECT_EQ(s.Pixel(78, 50), Original(78, 50));
    ASSERT_EQ(s.Entries(), 1);
    // Recorded at the press: (70 - 3, 50 - 3, 70 + 3, 50 + 3 + 1)
    EXPECT_EQ(Str(s.EntryRect(0)), "67,47,73,54");
    EXPECT_EQ(s.state()->history[0].tool, TOOL_STAMP);
    EXPECT_EQ(HistoryStep(TRUE), 1);
    EXPECT_EQ(s.Pixel(70, 50), Original(70, 50));
    // A new brush size drops the sample: the next click samples again.
    s.Tool(TOOL_STAMP, 4, 4, RGB(1, 2, 3), 100, 0, 1);
    EXPECT_EQ(s.state()->cloneSample, nullptr);
    s.Click(40, 40);
    EXPECT_EQ(s.Pixel(40, 40), Original(40, 40));
    EXPECT_NE(s.state()->cloneSample, nullptr);
  });
}

TEST(CanvasStrokes, CloneSamplesAtEveryStrokesStart) {
  OwnedDib image(MakeImage(kWidth, kHeight, Original));
  RunEditor(image.h, [&](Session& s) {
    s.Tool(TOOL_CLONE, 4, 4, 0, 100, 0, 1);
    s.Enter();
    s.Press(10, 10);
    s.Move(30, 10);
    s.Release(30, 10);
    // The dabs run from 30 back to 10, each laying the sample taken at (10, 10): columns 8 .. 11,
    // rows 8 .. 11. The system fills a rectangle without a pen one pixel short on the right and
    // bottom, and the dabs read the mask bottom-up: the brush paints its columns 0 .. 2 and rows
    // 1 .. 3. The last dab over a column is the one centred on it: the sample's column 2.
    EXPECT_EQ(s.Pixel(20, 10), Original(10, 10));
    EXPECT_EQ(s.Pixel(30, 11), Original(10, 11));
    EXPECT_EQ(s.Pixel(20, 8), Original(20, 8));
    EXPECT_EQ(s.Pixel(31, 10), Original(31, 10));
    EXPECT_EQ(s.Pixel(20, 30), Original(20, 30));
    // The next stroke samples at its own press.
    s.Press(60, 60);
    s.Move(70, 60);
    s.Release(70, 60);
    EXPECT_EQ(s.Pixel(66, 60), Original(60, 60));
    EXPECT_EQ(s.Pixel(65, 61), Original(60, 61));
    EXPECT_EQ(s.Entries(), 2);
  });
}

COLORREF Checker(int x, int y) { return (x + y) % 2 ? RGB(255, 255, 255) : RGB(0, 0, 0); }

TEST(CanvasStrokes, SmoothBlursUnderTheBrush) {
  OwnedDib image(MakeImage(kWidth, kHeight, Checker));
  RunEditor(image.h, [&](Session& s) {
    s.Tool(TOOL_SMOOTH, 9, 9, 0, 100, 0, 1);
    s.Enter();
    s.Click(50, 50);
    // Dab (46, 46)-(55, 55); the rectangle brush covers its rows 1 .. 8 and columns 0 .. 7 (see
    // the clone), read one row up and one column left: rows 2 .. 6, columns 1 .. 7 are filtered.
    EXPECT_EQ(s.Pixel(50, 50), RGB(128, 128, 128));
    EXPECT_EQ(s.Pixel(47, 48), RGB(128, 128, 128));
    EXPECT_EQ(s.Pixel(53, 52), RGB(128, 128, 128));
    EXPECT_EQ(s.Pixel(50, 47), Checker(50, 47));
    EXPECT_EQ(s.Pixel(46, 50), Checker(46, 50));
    EXPECT_EQ(s.Pixel(50, 53), Checker(50, 53));  // the dab's last two rows stay
    EXPECT_EQ(s.Entries(), 1);
  });
}

TEST(CanvasStrokes, ColourPickerTakesThePixelAndKeepsItOutsideTheImage) {
  OwnedDib image(MakeImage(kWidth, kHeight, Original));
  RunEditor(image.h, [&](Session& s) {
    s.Tool(TOOL_PAINT, 4, 4, RGB(7, 7, 7));
    SendMessageA(s.state()->toolWindow, WM_COMMAND, MAKEWPARAM(TOOL_PICKER, BN_CLICKED), 0);
    EXPECT_EQ(s.state()->currentTool, TOOL_PICKER);
    s.Enter();
    s.Press(33, 44);
    EXPECT_EQ(s.state()->brushColor, Original(33, 44));
    EXPECT_EQ(s.state()->previousColor, RGB(7, 7, 7));
    s.Move(50, 20);
    EXPECT_EQ(s.state()->brushColor, Original(50, 20));
    s.Move(-8, -3);  // dragged off the image: the colour stays
    EXPECT_EQ(s.state()->brushColor, Original(50, 20));
    EXPECT_EQ(s.state()->previousColor, Original(50, 20));
    s.Release(-8, -3);
    EXPECT_EQ(s.state()->brushColor, Original(50, 20));
    EXPECT_EQ(s.Entries(), 0);
    for (int x = 20; x < 60; ++x) ASSERT_EQ(s.Pixel(x, 30), Original(x, 30));
  });
}

TEST(CanvasStrokes, StrokesNeedAPressOnTheCanvas) {
  OwnedDib image(MakeImage(kWidth, kHeight, Original));
  RunEditor(image.h, [&](Session& s) {
    s.Tool(TOOL_PAINT, 6, 6, RGB(0, 255, 0));
    // The pointer is not over the canvas: the press is ignored.
    s.state()->pointerInCanvas = 0;
    s.Press(30, 30);
    s.Release(30, 30);
    EXPECT_EQ(s.Pixel(30, 30), Original(30, 30));
    s.Enter();
    // A drag and a release whose press happened elsewhere paint and record nothing.
    s.Move(40, 40);
    s.Move(50, 40);
    s.Release(50, 40);
    EXPECT_EQ(s.Pixel(45, 40), Original(45, 40));
    EXPECT_EQ(s.Entries(), 0);
    // Moving without the button paints nothing either.
    s.Press(10, 10);
    s.Move(20, 10, 0);
    EXPECT_EQ(s.Pixel(20, 10), Original(20, 10));
    s.Release(10, 10);
    EXPECT_EQ(s.Entries(), 1);
  });
}

TEST(CanvasStrokes, LosingTheCaptureEndsTheSpray) {
  OwnedDib image(MakeImage(kWidth, kHeight, [](int, int) { return RGB(0, 0, 0); }));
  RunEditor(image.h, [&](Session& s) {
    s.Tool(TOOL_SPRAY, 4, 4, RGB(200, 200, 200), 20);
    s.Enter();
    s.Press(30, 30);
    EXPECT_EQ(GetCapture(), s.canvas());
    SetCapture(s.state()->frameWindow);  // something else takes the mouse
    ReleaseCapture();
    const COLORREF now = s.Pixel(30, 30);
    wintest::Pump(300);
    EXPECT_EQ(s.Pixel(30, 30), now);
    EXPECT_EQ(s.Entries(), 1);
  });
}

TEST(CanvasStrokes, DabsHangingOverTheEdgesAndAStretchedCanvas) {
  OwnedDib image(MakeImage(kWidth, kHeight, Original));
  // The client area is twice as wide as the image: device x 2n is image x n.
  RunEditor(
      image.h,
      [&](Session& s) {
        s.Tool(TOOL_PAINT, 10, 10, RGB(0, 0, 0), 100, 0, 1);
        s.Enter();
        s.Press(0, 0);
        s.Release(0, 0);
        // Dab (-5, -5)-(5, 5); the rectangle brush paints its columns 0 .. 8 and rows 1 .. 9.
        EXPECT_EQ(s.Pixel(0, 0), RGB(0, 0, 0));
        EXPECT_EQ(s.Pixel(3, 4), RGB(0, 0, 0));
        EXPECT_EQ(s.Pixel(4, 0), Original(4, 0));
        EXPECT_EQ(s.Pixel(5, 0), Original(5, 0));
        ASSERT_EQ(s.Entries(), 1);
        // The record is clamped to the image: (0-5-1, 0-5-1, 0+5+1, 0+5+2) -> (0, 0, 6, 7)
        EXPECT_EQ(Str(s.EntryRect(0)), "0,0,6,7");
        s.Press(2 * (kWidth - 1), kHeight - 1);
        s.Release(2 * (kWidth - 1), kHeight - 1);
        EXPECT_EQ(s.Pixel(kWidth - 1, kHeight - 1), RGB(0, 0, 0));
        EXPECT_EQ(s.Pixel(kWidth - 8, kHeight - 1), Original(kWidth - 8, kHeight - 1));
        EXPECT_EQ(s.Entries(), 2);
        EXPECT_EQ(s.EntryRect(1).right, kWidth);
        EXPECT_EQ(s.EntryRect(1).bottom, kHeight);
        EXPECT_EQ(HistoryStep(TRUE), 1);
        EXPECT_EQ(HistoryStep(TRUE), 1);
        EXPECT_EQ(s.Pixel(0, 0), Original(0, 0));
        EXPECT_EQ(s.Pixel(kWidth - 1, kHeight - 1), Original(kWidth - 1, kHeight - 1));
      },
      2 * kWidth, kHeight);
}

}  // namespace
