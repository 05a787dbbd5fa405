// The dialogs of the animation export: the frame count and rate of the video
// ("Nastavení Animace") and the choice of the encoder.
#pragma once

#include <QDialog>
#include <string>
#include <vector>

class QLineEdit;
class QListWidget;

namespace kv {

struct VideoEncoder;

class AnimSetDialog : public QDialog {
    Q_OBJECT
  public:
    explicit AnimSetDialog(QWidget* parent = nullptr);

    QLineEdit* framesBox() const { return frames_; }
    QLineEdit* rateBox() const { return rate_; }
    // After OK: the values entered.
    int frames() const { return framesValue_; }
    int framesPerSecond() const { return rateValue_; }

    void accept() override;

  private:
    QLineEdit* frames_;
    QLineEdit* rate_;
    int framesValue_ = 12;
    int rateValue_ = 6;
};

// Lists the encoders; the first (uncompressed) is chosen when it opens.
class CompressorDialog : public QDialog {
    Q_OBJECT
  public:
    CompressorDialog(const std::vector<VideoEncoder>& encoders, QWidget* parent = nullptr);

    QListWidget* list() const { return list_; }
    // After OK: the name of the encoder chosen.
    std::string codec() const;

  private:
    QListWidget* list_;
    std::vector<std::string> names_;
};

}  // namespace kv
