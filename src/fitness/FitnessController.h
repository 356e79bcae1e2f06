#pragma once

#include "fitness/ChosenGroup.h"
#include "fitness/RationReportSource.h"
#include "protocol/ReplyTarget.h"
#include "recipes/RecipeData.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class ServerLink;
class fEnergy;

// The recipe and fitness side of the program as the reply dispatcher sees it.
// Owns the recipe data (CurrentHS, the ration), the norm table text and the
// chosen group, which live for the whole run, and the fitness window, which is loaded on first
// touch and dropped when it closes: the next touch loads a fresh window (empty
// ration, men's norms asked for again) while sNorm keeps its value.
class FitnessController final : public QObject, public ReplyTarget
{
    Q_OBJECT

public:
    explicit FitnessController(ServerLink& link, QObject* parent = nullptr);
    ~FitnessController() override;
    Q_DISABLE_COPY_MOVE(FitnessController)

    // Replies routed by the dispatcher.
    void form_Bases_Bl(const QString& payload) override;
    void form_Dishes_Bl(const QString& payload) override;
    void receiveComposition(const QString& payload) override;
    void receiveNorm(const QString& payload) override;
    void noNormTable() override;

    // The window, loading it (hidden) if it is not loaded.
    fEnergy& energy();
    // The window if it is loaded, without touching it.
    fEnergy* window() const { return m_window.get(); }

    RecipeData& recipeData() { return m_recipes; }
    const RecipeData& recipeData() const { return m_recipes; }
    const QString& sNorm() const { return m_sNorm; }
    ChosenGroup& chosenGroup() { return m_group; }
    // The ration and the chosen group as the calorie report reads them.
    const ReportSource& reportSource() const { return m_reportSource; }

    // For the report: the chosen group and its daily need. With no window
    // loaded there is no choice: the empty caption and 0.
    QString GetFullGroup() const;
    double GetFizEnergy() const;

    // Hooks the program's wiring sets; they reach every window loaded later.
    void setPrintHandler(std::function<void()> handler);
    void setCloseProgramHandler(std::function<void()> handler);

private:
    void unload();

    ServerLink& m_link;
    RecipeData m_recipes;
    QString m_sNorm;
    ChosenGroup m_group;
    RationReportSource m_reportSource{m_recipes.rationEntries(), [this] { return GetFullGroup(); },
                                      [this] { return GetFizEnergy(); }};
    std::unique_ptr<fEnergy> m_window;
    std::function<void()> m_printHandler;
    std::function<void()> m_closeProgramHandler;
};
