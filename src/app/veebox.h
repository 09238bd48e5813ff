#pragma once

#include <QComboBox>

namespace corvane {

// The pick list of a bend's vee. It shows white, or red (255, 0, 0) when the vee is too wide for
// a flange beside its bend. The red is painted solid under the text and the arrow, which stay
// black: a style that shades the box's colour into a gradient would show a pale pink instead.
class VeeBox : public QComboBox
{
    Q_OBJECT

public:
    using QComboBox::QComboBox;

    bool isRed() const { return m_red; }
    void setRed(bool red);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    bool m_red = false;
};

} // namespace corvane
