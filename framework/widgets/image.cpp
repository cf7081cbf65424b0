#include "image.h"

#include <QPainter>
#include <QWidget>

namespace {

class ImageWidget : public QWidget {
public:
    ImageWidget() { setAttribute(Qt::WA_TransparentForMouseEvents); }
    void SetPicture(const QPixmap& picture) {
        picture_ = picture;
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        if (!picture_.isNull()) {
            QPainter painter(this);
            painter.drawPixmap(0, 0, picture_);
        }
    }

private:
    QPixmap picture_;
};

}  // namespace

TImage::TImage(TComponent* owner) : TControl(owner, new ImageWidget()) {}

void TImage::SetPicture(const QPixmap& picture) {
    picture_ = picture;
    static_cast<ImageWidget*>(Widget())->SetPicture(picture);
}

void TImage::LoadPicture(const QString& path) {
    SetPicture(ReadPicture(path));
}

QPixmap ReadPicture(const QString& path) {
    QPixmap picture(path);
    if (picture.isNull()) {
        throw EInvalidGraphic("Cannot read the picture " + path.toStdString());
    }
    return picture;
}
