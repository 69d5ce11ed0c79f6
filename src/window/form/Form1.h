#pragma once

#include "core/CancellableDialogs.h"
#include "core/SettingsStore.h"
#include "core/files/TempFolders.h"
#include "speech/voices/VoiceCatalogue.h"
#include "window/handlers/ReadingController.h"

#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <stop_token>

class QAction;
class QComboBox;
class QDBusConnection;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSlider;

namespace vt {

// The text box's context menu reads or saves the box's own text; the
// "Save Audio As MP3" button's offers to stop the export under way.
inline constexpr char ReadThisTextCaption[] = "Read This Text";
inline constexpr char SaveThisTextCaption[] = "Save This Text As MP3";
inline constexpr char CancelExportCaption[] = "Cancel Export";

class ArticleSwitch;
class ExportRunner;
class MousePointer;
class SpeechEngine;
class TestSpeedRun;
struct ExportResult;

// The main window. Each handler reads the controls, calls its subsystem's
// procedure with plain values and applies the result to the controls.
class Form1 : public QWidget, private ReadingView {
    Q_OBJECT
  public:
    // engine speaks for the window and must outlive it. randomPercent draws a
    // whole number from 1 to 100 (the home-page visit).
    Form1(SpeechEngine& engine, Dialogs& dialogs, std::function<int()> randomPercent,
          QWidget* parent = nullptr);
    ~Form1() override;

    // Prepares the window before it is shown; false when the program must end.
    bool Form_Load();

    bool busy() const { return m_busy; }
    int mousePointer() const;
    VoiceChoice voiceChoice() const override;
    ReadingController::State readingState() const { return m_reading->state(); }
    const ReadingController& reading() const { return *m_reading; }
    ReadingController& reading() { return *m_reading; }
    // Ends a reading under way (paused or not) and readies the button for the next.
    void stopReading();
    // Exports started from now on show their progress on the desktop's
    // task-manager entry through this bus (nothing when it is not connected).
    void publishExportProgress(const QDBusConnection& bus);
    // The folder where reading and the sample button keep their page text.
    QString pageTextFolder() const { return m_pageTextFolder.path(); }

    // Controls, named as the rest of the program refers to them.
    QGroupBox* Frame1;
    QGroupBox* Frame2;
    QGroupBox* Frame3;
    QGroupBox* Frame4;
    QGroupBox* Frame5;
    QGroupBox* Frame6;
    QLineEdit* Text1;
    QPlainTextEdit* Text2;
    QLineEdit* Text3;
    QComboBox* Combo1;
    QSlider* Slider1;
    QSlider* Slider2;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label5;
    QLabel* Label6;
    QPushButton* PushButton1;
    QPushButton* PushButton2;
    QPushButton* PushButton3;
    QPushButton* PushButton4;
    QPushButton* PushButton5;
    QPushButton* PushButton6;
    QPushButton* PushButton7;
    QPushButton* PushButton8;
    QPushButton* PushButton9;
    QPushButton* PushButton14;

  public slots:
    void PushButton1_Click();  // Add Voices
    void PushButton2_Click();  // Start Reading / Pause / Resume
    void PushButton3_Click();  // Refresh List
    void PushButton4_Click();  // Load Text From Text File
    void PushButton5_Click();  // Save Text To Text File
    void PushButton6_Click();  // Clear Text
    void PushButton7_Click();  // Load Sample/Example Website
    void PushButton8_Click();  // Save Audio As MP3
    void PushButton9_Click();  // choose the output folder
    void PushButton14_Click(); // Test Speed
    void Combo1_Click();
    void Slider1_Change();
    void Slider2_Change();
    void Text1_LostFocus();
    void Text2_Change();
    void Text3_Change();
    // From the context menus: the reading and the export of the text box's
    // text instead of the page, and the end of the export under way.
    void ReadThisText();
    void SaveThisTextAsMp3();
    void CancelExport();

  signals:
    // The window has closed and everything it ran has stopped.
    void closed();
    // An export made its MP3 file (after its "Done.").
    void exportSaved(const QString& mp3Path);

  protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void buildControls();
    void setTabOrder();
    void wireHandlers();
    void wirePointer();
    void loadPointerPicture();
    void centreOnScreen();
    void startReading(std::optional<QString> text);
    void startExport(std::optional<QString> text);
    void showTextBoxMenu(const QPoint& position);
    void onExportFinished(const ExportResult& result);
    void loadTextFile(const QString& path);
    void appendChunks(const QStringList& chunks);

    // ReadingView
    QString readingCaption() const override;
    void setReadingCaption(const QString& caption) override;
    void setPointer(int value) override;
    QString address() const override;
    PageTextMode pageTextMode() const override;

    // One slider's change handler: the volume and the rate differ only in
    // these. The value reaches speech when the next one starts: while anything
    // speaks, the window is busy and refuses the change.
    struct SliderBinding {
        QSlider* slider;
        QGroupBox* frame;
        QString captionPrefix;
        QString key;
        const char* tag;
        int accepted;          // the last accepted value, the one the caption shows
        bool refusing = false; // a refused change is being undone
    };
    void sliderChanged(SliderBinding& binding);
    void refuseSliderChange(SliderBinding& binding);
    bool closing() const { return m_closing.stop_requested(); }

    // Once the window is closing, work being wound down shows nothing more.
    std::stop_source m_closing;
    CancellableDialogs m_dialogs;
    VoiceCatalogue m_voices; // as the voice list shows them
    std::function<int()> m_randomPercent;
    SettingsStore m_settings;
    PrivateFolder m_pageTextFolder;
    MousePointer* m_pointer = nullptr;
    ArticleSwitch* m_articleSwitch = nullptr; // "Read the article only"
    QAction* m_cancelExport = nullptr;        // "Cancel Export"
    bool m_busy = false;
    std::unique_ptr<SliderBinding> m_volume;
    std::unique_ptr<SliderBinding> m_rate;
    std::unique_ptr<ReadingController> m_reading;
    std::unique_ptr<TestSpeedRun> m_testSpeed;
    std::unique_ptr<ExportRunner> m_export;
    QObject* m_sampleFetch = nullptr; // context of the sample page fetch under way
};

} // namespace vt
