// One box file as the loader read it: its header and its two blocks, each
// present or not. A value that shares nothing with any other box, so many
// boxes can be read and walked at once on different threads.
//
// Each byte is held once: a block kept as stored is a view into the file's
// bytes, which the box keeps for it; an inflated block holds its own bytes,
// and once no block is a view the file's bytes are let go.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "boxfile/box_header.h"
#include "boxfile/load_status.h"

namespace quorvel {

// One block: absent, a view into the file's bytes, or inflated bytes of its
// own. An empty cover block is still present (the picture reports it as
// unreadable); presence is told by Present() alone.
class BoxBlock {
public:
    bool Present() const { return m_present; }
    std::span<const unsigned char> Bytes() const { return m_view; }
    bool Inflated() const { return m_inflated.has_value(); }

    static BoxBlock View(std::span<const unsigned char> stored);
    static BoxBlock Own(std::vector<unsigned char> inflated);

private:
    bool m_present = false;
    // Moving a vector keeps its buffer, so the view stays valid when the
    // block moves.
    std::optional<std::vector<unsigned char>> m_inflated;
    std::span<const unsigned char> m_view;
};

class LoadedBox {
public:
    LoadedBox() = default;
    LoadedBox(LoadedBox&&) noexcept = default;
    LoadedBox& operator=(LoadedBox&&) noexcept = default;
    LoadedBox(const LoadedBox&) = delete;
    LoadedBox& operator=(const LoadedBox&) = delete;

    // What became of the load; a failure until the loader says otherwise.
    const LoadResult& Result() const { return m_result; }
    // The header, when one was read (also with the wrong magic).
    const BoxHeader* Header() const { return m_header ? &*m_header : nullptr; }
    const BoxBlock& Cover() const { return m_cover; }
    const BoxBlock& Data() const { return m_data; }

    // The loader's side.
    void SetResult(LoadResult result) { m_result = result; }
    void SetHeader(const BoxHeader& header) { m_header = header; }
    // The file's bytes, which stored blocks are views into.
    void AdoptFileBytes(std::unique_ptr<unsigned char[]> bytes) { m_file = std::move(bytes); }
    void SetBlocks(BoxBlock cover, BoxBlock data);

private:
    LoadResult m_result;
    std::optional<BoxHeader> m_header;
    std::unique_ptr<unsigned char[]> m_file;
    BoxBlock m_cover;
    BoxBlock m_data;
};

}  // namespace quorvel
