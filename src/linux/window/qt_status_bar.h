#pragma once

#include <QLabel>
#include <QSizeGrip>
#include <QWidget>
#include <array>
#include <string>

namespace tav {

// The status bar: four sunken parts placed by their right edges, docked along the bottom of
// the client area by whoever owns it. A leading tab in a part's text centres the text.
class QtStatusBar : public QWidget {
public:
    static constexpr int kPartCount = 4;
    static constexpr int kHeight = 18;

    explicit QtStatusBar(QWidget* parent);

    void SetParts(const std::array<int, kPartCount>& rightEdges);
    void SetText(int part, const std::string& text);
    std::string Text(int part) const;  // as set, tab included
    // Docks the bar along the bottom of a client area of this size.
    void Dock(int clientWidth, int clientHeight);
    const QLabel& Part(int part) const { return *labels_.at(static_cast<std::size_t>(part)); }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void PlaceParts();

    std::array<QLabel*, kPartCount> labels_{};
    std::array<std::string, kPartCount> texts_;
    std::array<int, kPartCount> edges_{};
    QSizeGrip* grip_ = nullptr;
};

}  // namespace tav
