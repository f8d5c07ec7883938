// "Cover speichern unter...": the shown file's cover written back out, byte
// for byte as the box holds it (after inflating), under the extension of its
// picture format.
#pragma once

#include <QString>
#include <span>
#include <string>

class QWidget;

namespace quorvel {

// "jpg", "bmp", "gif"; empty when the bytes are no cover picture.
QString CoverExtension(std::span<const unsigned char> bytes);

// Asks for a file name beside the box, suggesting the box's name with the
// cover's extension, and writes the cover there. A failure is reported on
// stderr, as the viewer reports nothing in a window.
void SaveCoverAs(QWidget* parent, const std::string& boxPath, std::span<const unsigned char> bytes);

}  // namespace quorvel
