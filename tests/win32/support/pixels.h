/*
 * Pixels for the drawing tests: a 32-bit top-down canvas to draw on and
 * read back, captures of what the screen shows, icons and bitmaps rendered
 * on their own for comparison, and the colours the program draws with as
 * 0xRRGGBB values.
 */
#ifndef SETUP_TEST_PIXELS_H
#define SETUP_TEST_PIXELS_H

#include <windows.h>

#include <stdint.h>

#include <vector>

namespace pixels
{

/* 0xRRGGBB, the way the canvas stores a pixel, from a COLORREF. */
inline uint32_t Rgb(COLORREF c)
{
    return ((uint32_t)GetRValue(c) << 16) | ((uint32_t)GetGValue(c) << 8) | GetBValue(c);
}

inline uint32_t SysRgb(int index)
{
    return Rgb(GetSysColor(index));
}

/* A top-down 32-bit DIB section selected into a memory device context. */
class Canvas
{
  public:
    Canvas(int width, int height) : width_(width), height_(height)
    {
        BITMAPINFO bi = {};
        bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
        bi.bmiHeader.biWidth = width;
        bi.bmiHeader.biHeight = -height;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        HDC screen = GetDC(NULL);
        dc_ = CreateCompatibleDC(screen);
        void *bits = NULL;
        bitmap_ = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, NULL, 0);
        ReleaseDC(NULL, screen);
        bits_ = (uint32_t *)bits;
        if (dc_ != NULL && bitmap_ != NULL)
            previous_ = SelectObject(dc_, bitmap_);
    }
    ~Canvas()
    {
        if (previous_ != NULL)
            SelectObject(dc_, previous_);
        if (bitmap_ != NULL)
            DeleteObject(bitmap_);
        if (dc_ != NULL)
            DeleteDC(dc_);
    }
    Canvas(const Canvas &) = delete;
    Canvas &operator=(const Canvas &) = delete;

    bool Ok() const
    {
        return previous_ != NULL;
    }
    HDC Dc() const
    {
        return dc_;
    }
    int Width() const
    {
        return width_;
    }
    int Height() const
    {
        return height_;
    }
    void Fill(uint32_t rgb)
    {
        GdiFlush();
        for (int i = 0; i < width_ * height_; ++i)
            bits_[i] = rgb;
    }
    /* 0xRRGGBB at (x, y); the top byte is not part of the colour. */
    uint32_t At(int x, int y) const
    {
        GdiFlush();
        return bits_[(size_t)y * width_ + x] & 0xFFFFFF;
    }
    std::vector<uint32_t> Pixels() const
    {
        GdiFlush();
        std::vector<uint32_t> out(bits_, bits_ + (size_t)width_ * height_);
        for (uint32_t &px : out)
            px &= 0xFFFFFF;
        return out;
    }
    /* The w x h block at (x, y), row by row. */
    std::vector<uint32_t> Block(int x, int y, int w, int h) const
    {
        std::vector<uint32_t> out;
        for (int row = y; row < y + h; ++row)
            for (int col = x; col < x + w; ++col)
                out.push_back(At(col, row));
        return out;
    }

  private:
    int width_;
    int height_;
    HDC dc_ = NULL;
    HBITMAP bitmap_ = NULL;
    HGDIOBJ previous_ = NULL;
    uint32_t *bits_ = NULL;
};

/* The icon drawn at 32 x 32 at (0, 0) on a background colour, as a 32 x 32
 * block. */
inline std::vector<uint32_t> RenderIcon(HICON icon, uint32_t background)
{
    Canvas canvas(32, 32);
    canvas.Fill(background);
    DrawIconEx(canvas.Dc(), 0, 0, icon, 32, 32, 0, NULL, DI_NORMAL);
    return canvas.Pixels();
}

/* The 32 x 32 image of a group icon of `module`, picked from the group's
 * directory and made from its bits (not through LoadImage, whose shared
 * copies keep the size of the first load), or NULL.  The caller destroys
 * it. */
inline HICON LoadIconImage32(HMODULE module, const char *name)
{
    HRSRC group = FindResourceA(module, name, (LPCSTR)RT_GROUP_ICON);
    BYTE *directory = group ? (BYTE *)LockResource(LoadResource(module, group)) : NULL;
    if (directory == NULL)
        return NULL;
    int id = LookupIconIdFromDirectoryEx(directory, TRUE, 32, 32, LR_DEFAULTCOLOR);
    HRSRC image = id ? FindResourceA(module, MAKEINTRESOURCEA(id), (LPCSTR)RT_ICON) : NULL;
    BYTE *bits = image ? (BYTE *)LockResource(LoadResource(module, image)) : NULL;
    if (bits == NULL)
        return NULL;
    return CreateIconFromResourceEx(bits, SizeofResource(module, image), TRUE, 0x00030000, 32, 32,
                                    LR_DEFAULTCOLOR);
}

/* The 32 x 32 image of a group icon of `module` on a background colour;
 * all background when there is no such icon. */
inline std::vector<uint32_t> RenderIconImage32(HMODULE module, const char *name,
                                               uint32_t background)
{
    HICON icon = LoadIconImage32(module, name);
    if (icon == NULL)
        return std::vector<uint32_t>(32 * 32, background);
    std::vector<uint32_t> out = RenderIcon(icon, background);
    DestroyIcon(icon);
    return out;
}

/* Width and height of an icon's image, from its mask (which holds the AND
 * and XOR halves one above the other for a monochrome icon). */
inline SIZE IconSize(HICON icon)
{
    SIZE size = {0, 0};
    ICONINFO info;
    if (icon == NULL || !GetIconInfo(icon, &info))
        return size;
    BITMAP bm = {};
    GetObjectA(info.hbmMask, sizeof(bm), &bm);
    size.cx = bm.bmWidth;
    size.cy = info.hbmColor ? bm.bmHeight : bm.bmHeight / 2;
    DeleteObject(info.hbmMask);
    if (info.hbmColor)
        DeleteObject(info.hbmColor);
    return size;
}

/* The client area of a window as it is painted, read back through the
 * window's own device context into a canvas (of the client's size, or
 * smaller).  Under Wine this reads the window's surface, which the screen
 * shows once Wine has flushed it to X. */
inline bool CaptureClient(HWND hwnd, Canvas &canvas)
{
    HDC dc = GetDC(hwnd);
    if (dc == NULL)
        return false;
    BOOL ok = BitBlt(canvas.Dc(), 0, 0, canvas.Width(), canvas.Height(), dc, 0, 0, SRCCOPY);
    ReleaseDC(hwnd, dc);
    return ok != 0;
}

inline SIZE ClientSize(HWND hwnd)
{
    RECT rc = {0, 0, 0, 0};
    GetClientRect(hwnd, &rc);
    SIZE size = {rc.right - rc.left, rc.bottom - rc.top};
    return size;
}

} // namespace pixels

#endif
