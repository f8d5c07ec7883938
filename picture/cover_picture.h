// One decoded cover picture: its size in pixels, drawn stretched into a
// rectangle.
#pragma once

#include <QImage>
#include <cstdint>
#include <span>

class QPainter;

namespace quorvel {

struct PictureRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};

class CCoverPicture {
public:
    CCoverPicture() = default;
    virtual ~CCoverPicture();
    CCoverPicture(const CCoverPicture&) = delete;
    CCoverPicture& operator=(const CCoverPicture&) = delete;

    // Loads the resource :/res/<type>/<id & 0xFFFF>. Non-zero on success.
    int LoadFromResource(unsigned id, const char* type);
    // Decodes the bytes (BMP, JPEG, GIF); nothing keeps them after the call.
    // Non-zero on success.
    int LoadFromMemory(const unsigned char* bytes, int32_t length);
    // Draws the whole picture stretched into `rect`. Non-zero on success.
    int Render(QPainter* dc, PictureRect rect) const;
    void Release();

    bool IsEmpty() const { return m_pPicture.isNull(); }
    const QImage& Image() const { return m_pPicture; }

    QImage m_pPicture;  // the decoded picture; null when empty
    int32_t m_nHeight = 0;
    int32_t m_nSize = 0;
    int32_t m_nWidth = 0;
};

}  // namespace quorvel
