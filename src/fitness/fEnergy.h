#pragma once

#include "fitness/ChosenGroup.h"
#include "fitness/layout/FitnessLayout.h"

#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>
#include <utility>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class RecipeData;
class ReportSource;
class ServerLink;
class fRation;

// The fitness-calculation window "Запрос калорийности с сервера": pick a
// collection and a dish, see its composition at a chosen weight, add up to 25
// dishes to the ration, choose the population group, open the report preview.
//
// One object is one loading of the window: FitnessController creates it on
// first use and drops it when it closes. What outlives a closing (the ration
// and CurrentHS in RecipeData, the norm table text sNorm, the chosen group it
// tells and takes requests from) is held outside and passed in by reference.
class fEnergy final : public QWidget
{
    Q_OBJECT

public:
    fEnergy(RecipeData& recipes, QString& sNorm, ChosenGroup& group, ServerLink& link,
            QWidget* parent = nullptr);
    ~fEnergy() override;
    Q_DISABLE_COPY_MOVE(fEnergy)

    // The load steps: window state from "QuorvelResizeStatus", the empty
    // ration, Get_Font, then the men's box handler (which asks for the men's
    // norm table). Run once, before the window is first shown.
    void load();

    // Every control takes the font size of "Brastel.FontSize" (24 when the
    // setting is not a usable size).
    void Get_Font();
    // Asks for the norm table of each ticked sex.
    void Zapros_Fiz();
    // Rebuilds the КФА list from sNorm and selects its first entry (which
    // rebuilds the age list).
    void form_fiz_Norm();
    // Rebuilds the age list for the chosen coefficient.
    void Form_Vozr();
    // The group caption and the daily energy need of the chosen row.
    QString GetFullGroup() const;
    double GetFizEnergy() const;

    // Catalogue and composition replies.
    void form_Bases_Bl(const QString& payload);
    void form_Dishes_Bl(const QString& payload);
    void form_HS_Dish(const QString& composition, bool fromDispatcher);

    // cPrint: the report side opens its preview from here.
    void setPrintHandler(std::function<void()> handler) { m_printHandler = std::move(handler); }
    // "Закрыть всю программу?" answered Yes: the main window ends the program.
    void setCloseProgramHandler(std::function<void()> handler) { m_closeProgramHandler = std::move(handler); }

    // The figures the ration window shows (not owned); without them the
    // "&Рацион…" button opens nothing.
    void setReportSource(const ReportSource* source) { m_reportSource = source; }
    // "&Рацион…": the one ration window, opened or brought forward.
    void openRation();
    fRation* rationWindow() const;

    // The font size Get_Font would use for a setting text.
    static double fontSizeFromSetting(const QString& text);

signals:
    // The window has closed (after its close question); this object is done.
    void unloaded();

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void createControls();
    // Puts every control where the layout holds it.
    void placeControls();
    void connectControls();
    // The fourteen layout rules, run on every size or state change.
    void applyLayout();

    bool listKeyPress(QListWidget* list, QKeyEvent* event);
    bool tOutKeyPress(QKeyEvent* event);

    void lBases_Click();
    void lDishes_Click();
    void tOut_Change();
    void cClear_Click();
    void cAdd_Click();
    void cClearall_Click();
    void cMan_Click();
    void cGirl_Click();
    void cKFA_Click();
    void cPrint_Click();
    // cAdd's caption after any change of the ration: "Добавить (n)", or
    // "Добавить" for the empty ration.
    void syncAddCaption();
    // Tells the chosen group what the boxes show.
    void publishGroup();
    // A ration file's group: a change of sex asks for that table, in which
    // the coefficient and age band are chosen when it arrives, if it has them.
    void chooseGroup(const ChosenGroup::Group& group);
    void selectGroup(const ChosenGroup::Group& group);

    RecipeData& m_recipes;
    QString& m_sNorm;
    ChosenGroup& m_group;
    ServerLink& m_link;
    std::function<void()> m_printHandler;
    std::function<void()> m_closeProgramHandler;
    FitnessLayout m_layout = FitnessLayout::design();
    // The outer size the layout was last made for.
    QSize m_laidOutFor;
    bool m_selectOnRelease = false;
    const ReportSource* m_reportSource = nullptr;
    QPointer<fRation> m_ration;

    QCheckBox* cMan = nullptr;
    QCheckBox* cGirl = nullptr;
    QLabel* lKFA = nullptr;
    QComboBox* cKFA = nullptr;
    QLabel* lVozr = nullptr;
    QComboBox* cVozr = nullptr;
    QListWidget* lBases = nullptr;
    QListWidget* lDishes = nullptr;
    QLabel* lFindBB = nullptr;
    QLabel* lFindD = nullptr;
    QLabel* lOut = nullptr;
    QLineEdit* tOut = nullptr;
    QPushButton* cClear = nullptr;
    QLabel* lHS = nullptr;
    QPushButton* cAdd = nullptr;
    QPushButton* cClearall = nullptr;
    QPushButton* cPrint = nullptr;
    QPushButton* cRation = nullptr;
};
