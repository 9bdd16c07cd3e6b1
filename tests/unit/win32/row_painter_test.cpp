// Painting of rows, read back as pixels: a selected row is highlighted from
// its name's label across every column to the row's right edge but not over
// the status image's place, an unselected plain row is the window colour,
// and the status image drawn is the row's. Pictures behind the rows: every
// pixel format of a bitmap file shows its colours, the built-in pictures
// and their palettes. Also where a context-menu request may open the menu.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>

#include "platform/win32/handles.h"
#include "catalogue/catalogue.h"
#include "listview/document_list.h"
#include "listview/win32/document_list_control.h"
#include "listview/win32/document_list_control.h"
#include "listview/win32/list_control_rows.h"
#include "listview/win32/list_background.h"
#include "listview/win32/row_painter.h"
#include "unit/bitmap_samples.h"
#include "unit/test_support.h"
#include "unit/win32/hidden_window.h"

namespace hs {
namespace {

class RowPainterTest : public test::WorkingDirTest {
protected:
    void SetUp() override {
        WorkingDirTest::SetUp();
        parent_ = test::hiddenWindow("painter parent", WS_POPUP, 800, 300);
        ASSERT_TRUE(parent_);
        list_ = DocumentListControl::create(parent_.get(), 100);
        ASSERT_NE(list_, nullptr);
        ::MoveWindow(list_, 0, 0, 800, 300, FALSE);
        DocumentListControl control(list_);
        control.insertColumns();
        ASSERT_TRUE(control.attachStatusImages(::GetModuleHandleA(nullptr)));
        rows_.attach(list_);
        background_.attach(list_, ::GetModuleHandleA(nullptr));
        docs_ = std::make_unique<DocumentList>(rows_, catalogue_);
        for (const char* name : {"first", "second"}) {
            // The red image.
            const std::size_t slot = catalogue_.appendRecord(test::testDocument(name, LocalFile, UnableToRetrieve));
            docs_->showRecordRow(static_cast<long>(slot), static_cast<int>(slot), InsertRow);
        }
    }

    // Paints `row` into a bitmap of the list's client size.
    void paint(int row) {
        RECT client{};
        ::GetClientRect(list_, &client);
        {
            WindowDc screen(nullptr);
            bitmap_ = UniqueBitmap(::CreateCompatibleBitmap(screen.get(), client.right, client.bottom));
            memory_ = std::make_unique<MemoryDcWith>(screen.get(), bitmap_.get());
        }
        dc_ = memory_->get();
        // A colour no row painting uses: untouched pixels stay this.
        UniqueBrush untouched(::CreateSolidBrush(kUntouched));
        ::FillRect(dc_, &client, untouched.get());
        DRAWITEMSTRUCT draw{};
        draw.CtlType = ODT_LISTVIEW;
        draw.itemID = static_cast<UINT>(row);
        draw.itemAction = ODA_DRAWENTIRE;
        draw.hwndItem = list_;
        draw.hDC = dc_;
        draw.rcItem.left = LVIR_BOUNDS;
        ::SendMessageA(list_, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&draw.rcItem));
        drawListRow(list_, *docs_, draw, &background_);
    }

    RECT itemRect(int row, int part) {
        RECT r{};
        r.left = part;
        ::SendMessageA(list_, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&r));
        return r;
    }

    COLORREF pixel(int x, int y) { return ::GetPixel(dc_, x, y); }


    static constexpr COLORREF kUntouched = RGB(1, 2, 3);

    DocumentCatalogue catalogue_;
    UniqueWindow parent_;
    HWND list_ = nullptr;
    ListControlRows rows_;
    std::unique_ptr<DocumentList> docs_;
    ListBackground background_;
    UniqueBitmap bitmap_;
    std::unique_ptr<MemoryDcWith> memory_;  // goes before the bitmap it holds
    HDC dc_ = nullptr;
};

TEST_F(RowPainterTest, SelectedRowIsHighlightedFromTheLabelToTheRowsRightEdge) {
    rows_.setState(1, RowState{kRowSelected}, kRowSelected);
    paint(1);
    const COLORREF highlight = ::GetSysColor(COLOR_HIGHLIGHT);
    const RECT bounds = itemRect(1, LVIR_BOUNDS);
    const RECT label = itemRect(1, LVIR_LABEL);
    const RECT icon = itemRect(1, LVIR_ICON);
    const int y = bounds.top + 1;  // above the text
    EXPECT_EQ(pixel(label.left, y), highlight);
    EXPECT_EQ(pixel(label.right + 5, y), highlight);  // inside the "Type" column
    EXPECT_EQ(pixel(bounds.right - 1, y), highlight); // the last column's right end
    EXPECT_EQ(rowHighlightRect(list_, 1).left, label.left);
    EXPECT_EQ(rowHighlightRect(list_, 1).right, bounds.right);
    // The image's place is not highlighted, and nothing is painted outside
    // the row.
    EXPECT_NE(pixel(icon.left, y), highlight);
    EXPECT_EQ(pixel(bounds.right + 2, y), kUntouched);
    EXPECT_EQ(pixel(label.left, bounds.bottom + 2), kUntouched);
}

TEST_F(RowPainterTest, UnselectedRowIsThePlainWindowColourWithItsStatusImage) {
    paint(0);
    const COLORREF window = ::GetSysColor(COLOR_WINDOW);
    const RECT bounds = itemRect(0, LVIR_BOUNDS);
    const RECT icon = itemRect(0, LVIR_ICON);
    EXPECT_EQ(pixel(bounds.right - 1, bounds.top + 1), window);
    EXPECT_EQ(pixel(bounds.left, bounds.top + 1), window);
    // The red document of UnableToRetrieve lies somewhere in the image.
    bool red = false;
    for (int x = icon.left; x < icon.left + 16 && !red; ++x) {
        for (int y = icon.top; y < icon.top + 16 && !red; ++y) {
            const COLORREF c = pixel(x, y);
            red = GetRValue(c) > 180 && GetGValue(c) < 100 && GetBValue(c) < 100;
        }
    }
    EXPECT_TRUE(red) << "no red status image in the row";
}

TEST_F(RowPainterTest, EveryBitmapFileFormatShowsItsColoursTiledFromRowZero) {
    const test::BitmapFormat formats[] = {{1}, {4, false, false, 40, true}, {8, false, true}, {16}, {16, true},
                                          {24, false, false, 108}, {32}, {32, true, false, 124}};
    const RECT first = itemRect(0, LVIR_BOUNDS);
    for (const test::BitmapFormat& f : formats) {
        SCOPED_TRACE(testing::Message() << f.bitCount << " bits, header " << f.infoSize);
        const test::Picture picture = f.bitCount == 1 ? test::twoColours() : test::eightColours();
        test::writeBytes("picture.bmp", test::bitmapFile(picture, f));
        ASSERT_TRUE(background_.loadBitmapFile("picture.bmp") && background_.setBackgroundFromBitmap());
        paint(0);
        const int w = static_cast<int>(picture[0].size());
        for (int y = 0; y < 4; ++y) {
            for (int x = 300; x < 300 + 2 * w; ++x) {  // away from the texts
                const uint32_t c = picture[y % 2][x % w];
                ASSERT_EQ(pixel(first.left + x, first.top + y), RGB(c >> 16, (c >> 8) & 0xFF, c & 0xFF))
                    << x << "," << y;
            }
        }
    }
}

TEST_F(RowPainterTest, BuiltInPicturesWithTheirPalettesAndAFailedFileLeavesThePlainList) {
    ASSERT_TRUE(background_.setBackgroundFromResource("EMPTY_BACKGROUND"));
    EXPECT_EQ(background_.tileWidth(), 48);
    EXPECT_EQ(::GetPaletteEntries(background_.palette(), 0, 0, nullptr), 16u);  // its colour table
    paint(0);
    const RECT bounds = itemRect(0, LVIR_BOUNDS);
    EXPECT_EQ(pixel(bounds.right + 3, bounds.top + 2), RGB(255, 255, 255));
    ASSERT_TRUE(background_.setBackgroundFromResource("BACKGROUND"));
    EXPECT_EQ(background_.tileWidth(), 1500);
    EXPECT_EQ(background_.tileHeight(), 1000);
    EXPECT_GT(::GetPaletteEntries(background_.palette(), 0, 0, nullptr), 16u);  // halftone

    test::writeBytes("broken.bmp", test::bitmapFile(test::eightColours(), {24}).substr(0, 70));
    EXPECT_FALSE(background_.loadBitmapFile("broken.bmp"));
    EXPECT_FALSE(background_.setBackgroundFromBitmap());
    EXPECT_FALSE(background_.hasPicture());
    EXPECT_FALSE(background_.setBackgroundFromResource("NO_SUCH_PICTURE"));
}

TEST_F(RowPainterTest, ContextMenuOnlyForMouseRequestsInsideTheList) {
    ::ShowWindow(parent_.get(), SW_SHOWNOACTIVATE);
    RECT client{};
    ::GetClientRect(list_, &client);
    POINT inside{client.right / 2, client.bottom / 2};
    ::ClientToScreen(list_, &inside);
    POINT got{};
    EXPECT_TRUE(contextMenuPoint(list_, MAKELPARAM(inside.x, inside.y), got));
    EXPECT_EQ(got.x, inside.x);
    EXPECT_EQ(got.y, inside.y);
    // The keyboard's request.
    EXPECT_FALSE(contextMenuPoint(list_, MAKELPARAM(-1, -1), got));
    // Outside the client area: beyond its right edge and above it.
    POINT right{client.right + 5, client.bottom / 2};
    ::ClientToScreen(list_, &right);
    EXPECT_FALSE(contextMenuPoint(list_, MAKELPARAM(right.x, right.y), got));
    POINT above{client.right / 2, -3};
    ::ClientToScreen(list_, &above);
    EXPECT_FALSE(contextMenuPoint(list_, MAKELPARAM(above.x, above.y), got));
}

}  // namespace
}  // namespace hs
