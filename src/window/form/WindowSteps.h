#pragma once

// The window's reporting procedures, each with its step numbers as its error
// report shows them. Steps that cannot fail have no number here.
namespace vt {

enum class FormLoadStep {
    // Before the voices are listed.
    ApplySkin = 102,
    LoadPointerPicture = 106,
    VisitHomePage = 108,
    // The controls as the settings left them.
    RestoreVolume = 132,
    RestoreRate = 134,
    RestoreFolder = 140,
    CentreOnScreen = 142
};

// "Add Voices"
enum class AddVoicesStep { Ask = 102, OpenSearch = 104 };

// "Refresh List"
enum class RefreshListStep { Notice = 102 };

// "Start Reading"
enum class StartReadingStep { SpeakLoud = 104 };

// "Test Speed"
enum class TestSpeedStep { Start = 108 };

// Either slider: volume or rate.
enum class SliderStep { RefusedNotice = 122, StoreSetting = 112 };

// "Load Sample/Example Website"
enum class SampleStep { FetchAndShow = 106 };

// "Load Text From Text File"
enum class LoadTextStep { ChooseFile = 104, ReadFile = 112 };

// "Save Text To Text File"
enum class SaveTextStep { ChooseFile = 114, WriteFile = 122 };

// The output folder button.
enum class ChooseFolderStep { Browse = 100, StoreSetting = 104 };

} // namespace vt
