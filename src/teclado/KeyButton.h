#pragma once
#include <QAbstractButton>
#include <QPixmap>

namespace zd::teclado {

// One key of the pad: its picture stretched over the key (a plain bevelled
// face when there is none) with the caption centred on it.
class KeyButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit KeyButton(QWidget *parent = nullptr);

    void setPicture(const QPixmap &picture);
    QPixmap picture() const { return m_picture; }

    QSize sizeHint() const override { return size(); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QPixmap m_picture;
};

} // namespace zd::teclado
