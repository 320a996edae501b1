#pragma once

#include <QProxyStyle>

namespace App {

// The application's style with the check-box and radio-button indicators (and
// the space beside them) scaled by a factor, so the boxes and circles grow with
// a window whose fonts grow. The factor starts at 1.
class IndicatorStyle final : public QProxyStyle
{
    Q_OBJECT

public:
    explicit IndicatorStyle(QObject* parent = nullptr);

    double factor() const { return m_factor; }
    void setFactor(double factor) { m_factor = factor; }

    int pixelMetric(PixelMetric metric, const QStyleOption* option = nullptr,
                    const QWidget* widget = nullptr) const override;

private:
    double m_factor = 1.0;
};

} // namespace App
