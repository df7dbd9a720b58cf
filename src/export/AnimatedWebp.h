#pragma once
// An animated WebP through libwebp's animation encoder: each frame held for its ticks of
// 100 ms; frames equal to the one before are merged by the encoder.
#include <QImage>
#include <cstdint>
#include <string>

struct WebPAnimEncoder;

namespace exporting {

class CAnimatedWebp {
public:
    CAnimatedWebp() = default;
    ~CAnimatedWebp();
    CAnimatedWebp(const CAnimatedWebp&) = delete;
    CAnimatedWebp& operator=(const CAnimatedWebp&) = delete;

    bool Open(int width, int height, std::string& error);
    bool AddFrame(const QImage& canvas, std::int64_t ticks, std::string& error);
    // Assembles the animation and writes it to path.
    bool Finish(const std::string& path, std::string& error);

private:
    WebPAnimEncoder* m_pEncoder = nullptr;
    std::int64_t m_nTimestamp = 0; // milliseconds
    int m_nWidth = 0;
    int m_nHeight = 0;
};

} // namespace exporting
