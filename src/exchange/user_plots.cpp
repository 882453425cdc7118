#include "exchange/user_plots.h"

#include "common/array.h"
#include "common/output.h"
#include "common/once_table.h"
#include "exchange/run_info.h"

#include <algorithm>
#include <vector>

namespace usersub::exchange {
namespace {

struct UserPlotRecord {
    std::int32_t nplot = 0;
    std::vector<std::int32_t> status;   // 0 off, 1 on without labels, 2 labels taken
    std::vector<std::int32_t> npoints;
    std::vector<double> xdata;          // kMaxPlotPoints x nplot, point index first
    std::vector<double> ydata;
    std::vector<char> title, xlabel, ylabel, curve;  // nplot x kPlotLabelLen each
};

std::int32_t g_n_models = 0;
std::int32_t g_plot_suppress = 0;
OnceTable<UserPlotRecord> g_table("USER_PLOT_TABLE");

UserPlotRecord& record(std::int32_t imodel) noexcept { return g_table(imodel); }

// Index of plot iplot of rec, checked against its plots.
std::size_t plot_index(const UserPlotRecord& rec, std::int32_t iplot) noexcept
{
    check_index("PLOT_STATUS", 1, iplot, 1, rec.nplot);
    return static_cast<std::size_t>(iplot - 1);
}

char* label(std::vector<char>& labels, std::size_t k) noexcept { return labels.data() + k * kPlotLabelLen; }

// Keeps the odd-numbered points 1, 3, ..., 201 in order.
void thin(double* points) noexcept
{
    for (std::int32_t k = 1; k <= kMaxPlotPoints; k += 2) points[(k + 1) / 2 - 1] = points[k - 1];
}

}  // namespace

void allocate_user_plot(std::int32_t n)
{
    g_table.allocate(n);
    g_n_models = n;
}

std::int32_t load_user_plot(std::int32_t imodel, std::int32_t nplot, const std::int32_t* status)
{
    if (imodel > g_n_models) return -1;
    auto& rec = record(imodel);
    const auto n = static_cast<std::size_t>(std::max(nplot, 0));
    rec.nplot = nplot;
    rec.status.assign(status, status + n);
    rec.npoints.assign(n, 0);
    rec.xdata.assign(n * kMaxPlotPoints, -999.0);
    rec.ydata.assign(n * kMaxPlotPoints, -999.0);
    for (auto* labels : {&rec.title, &rec.xlabel, &rec.ylabel, &rec.curve})
        labels->assign(n * kPlotLabelLen, ' ');
    return 0;
}

void user_plot_store(std::int32_t imodel, std::int32_t iplot, std::string_view title,
                     std::string_view curve, std::string_view xlabel, std::string_view ylabel,
                     double x, double y) noexcept
{
    const GlobalInfo& info = global_info();
    if (g_plot_suppress == 1 || info.state_int3 != 0 || info.state_int4 != 1) return;

    auto& rec = record(imodel);
    if (iplot > rec.nplot) return;
    const std::size_t k = plot_index(rec, iplot);
    if (rec.status[k] == 0) return;
    if (rec.status[k] == 1) {
        text::assign(label(rec.title, k), kPlotLabelLen, title);
        text::assign(label(rec.curve, k), kPlotLabelLen, curve);
        text::assign(label(rec.xlabel, k), kPlotLabelLen, xlabel);
        text::assign(label(rec.ylabel, k), kPlotLabelLen, ylabel);
        rec.status[k] = 2;
    }

    double* xs = rec.xdata.data() + k * kMaxPlotPoints;
    double* ys = rec.ydata.data() + k * kMaxPlotPoints;
    std::int32_t& n = rec.npoints[k];
    if (n == kMaxPlotPoints) {
        thin(xs);
        thin(ys);
        n = (kMaxPlotPoints + 1) / 2;
        out::write_line("");
        out::list("W*** Plot data for user model exceeded buffer size");
        out::list("     Not all data will be stored");
        out::list("     User model: ", imodel);
        out::list("     Plot:       ", iplot);
    }
    xs[n] = x;
    ys[n] = y;
    ++n;
}

std::int32_t get_user_plot_data(std::int32_t imodel, std::int32_t iplot, double* x,
                                double* y) noexcept
{
    auto& rec = record(imodel);
    const std::size_t k = plot_index(rec, iplot);
    const std::int32_t n = rec.npoints[k];
    std::copy_n(rec.xdata.data() + k * kMaxPlotPoints, n, x);
    std::copy_n(rec.ydata.data() + k * kMaxPlotPoints, n, y);
    rec.npoints[k] = 0;
    return n;
}

PlotLabels get_user_plot_labels(std::int32_t imodel, std::int32_t iplot) noexcept
{
    auto& rec = record(imodel);
    const std::size_t k = plot_index(rec, iplot);
    return {{label(rec.title, k), kPlotLabelLen},
            {label(rec.curve, k), kPlotLabelLen},
            {label(rec.xlabel, k), kPlotLabelLen},
            {label(rec.ylabel, k), kPlotLabelLen}};
}

void send_user_plot_suppress(std::int32_t flag) noexcept { g_plot_suppress = flag; }

}  // namespace usersub::exchange
