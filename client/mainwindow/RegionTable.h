#pragma once

#include <QStringView>
#include <span>

// The 33 region links inside FrameTouristAll. A click sends the region name,
// never the caption (" 广东" sends "广东").
namespace regions {

constexpr int LabelHeight = 255;

struct Link {
    QStringView control;
    QStringView caption;
    QStringView region;
    int left;
    int top;
    int width = 375;
};

std::span<const Link> links();

} // namespace regions
