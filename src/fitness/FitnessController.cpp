#include "fitness/FitnessController.h"

#include "fitness/fEnergy.h"

FitnessController::FitnessController(ServerLink& link, QObject* parent) : QObject(parent), m_link(link) {}

FitnessController::~FitnessController() = default;

fEnergy& FitnessController::energy()
{
    if (!m_window) {
        m_window = std::make_unique<fEnergy>(m_recipes, m_sNorm, m_group, m_link);
        m_window->setPrintHandler(m_printHandler);
        m_window->setCloseProgramHandler(m_closeProgramHandler);
        m_window->setReportSource(&m_reportSource);
        connect(m_window.get(), &fEnergy::unloaded, this, &FitnessController::unload);
        m_window->load();
    }
    return *m_window;
}

void FitnessController::unload()
{
    // The window is still inside its own close handling: let it finish, then
    // go. The next touch loads a new one.
    if (m_window)
        m_window.release()->deleteLater();
}

void FitnessController::form_Bases_Bl(const QString& payload)
{
    energy().form_Bases_Bl(payload);
}

void FitnessController::form_Dishes_Bl(const QString& payload)
{
    energy().form_Dishes_Bl(payload);
}

void FitnessController::receiveComposition(const QString& payload)
{
    m_recipes.setCurrentHS(payload);
    energy().form_HS_Dish(m_recipes.CurrentHS(), true);
}

void FitnessController::receiveNorm(const QString& payload)
{
    m_sNorm = payload;
    // An empty table touches no list, so it does not load the window.
    if (!m_sNorm.isEmpty())
        energy().form_fiz_Norm();
    m_group.normAnswered();
}

void FitnessController::noNormTable()
{
    m_group.normAnswered();
}

QString FitnessController::GetFullGroup() const
{
    return m_window ? m_window->GetFullGroup() : QString();
}

double FitnessController::GetFizEnergy() const
{
    return m_window ? m_window->GetFizEnergy() : 0.0;
}

void FitnessController::setPrintHandler(std::function<void()> handler)
{
    m_printHandler = std::move(handler);
    if (m_window)
        m_window->setPrintHandler(m_printHandler);
}

void FitnessController::setCloseProgramHandler(std::function<void()> handler)
{
    m_closeProgramHandler = std::move(handler);
    if (m_window)
        m_window->setCloseProgramHandler(m_closeProgramHandler);
}
