// The header that the old look draws into each inner page: the title in
// bold, the subtitle indented below it, and a sunken line under both.
#pragma once

#include <QWidget>

namespace gui {

class PageHeader : public QWidget {
  public:
    // Control ids of the header.
    static constexpr int kTitleId = 65520;
    static constexpr int kSubtitleId = 65521;
    static constexpr int kLineId = 65535;

    PageHeader(const QString& title, const QString& subtitle, QWidget* parent);
};

}  // namespace gui
