#pragma once

#include <QCursor>
#include <QObject>
#include <optional>

class QWidget;

namespace vt {

// The window's one pointer setting: 0 arrow, 11 hourglass, 99 the hand picture.
class MousePointer : public QObject {
    Q_OBJECT
  public:
    static constexpr int Default = 0;
    static constexpr int Hourglass = 11;
    static constexpr int Custom = 99;

    explicit MousePointer(QWidget* window);

    int value() const { return m_value; }
    void set(int value);

    // The picture shown for Custom; without one a pointing hand is shown.
    void setCustomPicture(const QCursor& cursor) { m_custom = cursor; }
    bool hasCustomPicture() const { return m_custom.has_value(); }

    // Hover rules: moving over these sets the arrow (unless the hourglass shows),
    // the hand (unless the hourglass shows), or the hand in any case.
    void arrowOver(QWidget* widget);
    void handOver(QWidget* widget);
    void handAlwaysOver(QWidget* widget);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    enum class Rule { Arrow, Hand, HandAlways };
    void watch(QWidget* widget, Rule rule);

    QWidget* m_window;
    int m_value = Default;
    std::optional<QCursor> m_custom;
};

} // namespace vt
