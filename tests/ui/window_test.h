#pragma once

#include <QObject>
#include <QTemporaryDir>

namespace tessarin::ui_testing {

// The main window on Qt's offscreen platform; each group of slots has a file of its own.
class WindowTest : public QObject {
  Q_OBJECT

 private slots:
  // window_test.cpp: every test starts with nothing remembered, in a folder of its own.
  void initTestCase();
  void init();
  // start_up_test.cpp
  void PreselectsTheDefaultSet_data();
  void PreselectsTheDefaultSet();
  void OpensWithoutSets_data();
  void OpensWithoutSets();
  void WindowCarriesTheIconInEverySize();
  // load_set_test.cpp
  void LoadSetFillsListsAndLabels();
  void LoadSetSetsTheDoubleBox_data();
  void LoadSetSetsTheDoubleBox();
  void LoadSetDropsPartsTheNewSetLacks();
  void LoadSetFollowsTheKeyboard();
  void LoadSetOpensNamesFromOtherSystems_data();
  void LoadSetOpensNamesFromOtherSystems();
  // setting_warning_test.cpp
  void WarnsOncePerSelection_data();
  void WarnsOncePerSelection();
  // layer_selection_test.cpp
  void SelectionLoadsImages_data();
  void SelectionLoadsImages();
  // preview_test.cpp
  void PreviewPixels_data();
  void PreviewPixels();
  void PreviewRepaintDoesNotBlendAgain();
  void PreviewChangesLeaveNothingBehind_data();
  void PreviewChangesLeaveNothingBehind();
  // preview_placement_test.cpp
  void PreviewLandsWhereItAlwaysHas_data();
  void PreviewLandsWhereItAlwaysHas();
  // scale_boxes_test.cpp
  void ScaleBoxesExcludeEachOther_data();
  void ScaleBoxesExcludeEachOther();
  // random_compose_test.cpp
  void RandomComposePicksTheGeneratorsEntries_data();
  void RandomComposePicksTheGeneratorsEntries();
  // generate_image_test.cpp
  void GenerationWritesTheComposite_data();
  void GenerationWritesTheComposite();
  void GenerationReportsAFailedSave_data();
  void GenerationReportsAFailedSave();
  // closing_keys_test.cpp
  void KeysCloseTheWindow_data();
  void KeysCloseTheWindow();
  // about_box_test.cpp
  void AboutBoxOpens_data();
  void AboutBoxOpens();
  // bad_input_test.cpp
  void BadImagesLeaveTheirSlotEmpty_data();
  void BadImagesLeaveTheirSlotEmpty();
  void UnreadableCompanionsAreToldOnce_data();
  void UnreadableCompanionsAreToldOnce();
  void BadSettingFilesStillOpen_data();
  void BadSettingFilesStillOpen();
  void OpensOnLoopsAndCrowds();
  void FoldersChangingUnderTheWindow_data();
  void FoldersChangingUnderTheWindow();
  void FailedSavesSayWhy_data();
  void FailedSavesSayWhy();
  // out_of_memory_test.cpp
  void ShortOfMemorySaysWhat_data();
  void ShortOfMemorySaysWhat();
  // language_test.cpp
  void LanguageFollowsLocaleAndFlag_data();
  void LanguageFollowsLocaleAndFlag();
  void LanguageFlagLeavesTheRest_data();
  void LanguageFlagLeavesTheRest();
  void WindowSpeaksTheChosenLanguage_data();
  void WindowSpeaksTheChosenLanguage();
  void SaveDialogSpeaksTheChosenLanguage_data();
  void SaveDialogSpeaksTheChosenLanguage();
  void BadLanguageFlagStopsBeforeAnyWindow_data();
  void BadLanguageFlagStopsBeforeAnyWindow();
  // preview_clipping_test.cpp
  void PreviewStaysInsideItsFrame_data();
  void PreviewStaysInsideItsFrame();
  // side_panel_test.cpp
  void SidePanelTogglesAndIsRemembered_data();
  void SidePanelTogglesAndIsRemembered();
  void ClassicAreaIsTheSameBesideThePanel_data();
  void ClassicAreaIsTheSameBesideThePanel();
  void ResizingWidensThePanelAlone();
  void PanelFollowsTheClassicControlsInTabOrder();
  // sheet_view_test.cpp
  void SheetViewShowsTheWindowsComposite();
  void SheetViewPixels_data();
  void SheetViewPixels();
  void SheetViewFits_data();
  void SheetViewFits();
  void SheetViewDrawsTheCells_data();
  void SheetViewDrawsTheCells();
  void SheetViewTakesAChosenBackground();
  void CtrlWheelZoomsAroundThePointer_data();
  void CtrlWheelZoomsAroundThePointer();
  // sheet_geometry_test.cpp
  void FitScaleShowsTheWholeSheet_data();
  void FitScaleShowsTheWholeSheet();
  void SheetTargetCentresOrScrolls_data();
  void SheetTargetCentresOrScrolls();
  void GridLinesStartEachCell_data();
  void GridLinesStartEachCell();
  void ZoomKeepsTheAnchoredPoint_data();
  void ZoomKeepsTheAnchoredPoint();
  void CheckerTilesAlternate();

  // walk_cycle_test.cpp
  void WalkPlaysFramesInTime_data();
  void WalkPlaysFramesInTime();
  void WalkRunsOnTheRealClock();
  void WalkFollowsItsControls_data();
  void WalkFollowsItsControls();
  void WalkPaintsTheCompositesCells_data();
  void WalkPaintsTheCompositesCells();
  void WalkSaysWhyItIsEmpty_data();
  void WalkSaysWhyItIsEmpty();
  // colour_section_test.cpp
  void ColoursMatchTheCommandLine_data();
  void ColoursMatchTheCommandLine();
  void StatusLineSaysWhatCouldNotBeRead_data();
  void StatusLineSaysWhatCouldNotBeRead();
  void WalkAndSheetFollowTheSetsExtras_data();
  void WalkAndSheetFollowTheSetsExtras();
  void BlendRuleChangesTheComposite();
  void MaterialRowsFollowTheSet_data();
  void MaterialRowsFollowTheSet();

 private:
  QTemporaryDir settingsFolder_;
};

}  // namespace tessarin::ui_testing
