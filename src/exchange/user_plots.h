// User plots: per user model, a set of plots whose points the routines append
// one per call and the host drains after each step.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace usersub::exchange {

inline constexpr std::int32_t kMaxPlotPoints = 201;
inline constexpr std::size_t kPlotLabelLen = 80;

void allocate_user_plot(std::int32_t n);
// Returns the error flag: -1 when imodel is above the allocated count, else 0.
std::int32_t load_user_plot(std::int32_t imodel, std::int32_t nplot, const std::int32_t* status);

// Appends (x, y) to plot iplot of model imodel when the run state and the plot
// allow it; the labels are taken from the first point stored.
void user_plot_store(std::int32_t imodel, std::int32_t iplot, std::string_view title,
                     std::string_view curve, std::string_view xlabel, std::string_view ylabel,
                     double x, double y) noexcept;

// Copies the buffered points into x and y (room for kMaxPlotPoints each) and
// empties the buffer; returns the number of points.
std::int32_t get_user_plot_data(std::int32_t imodel, std::int32_t iplot, double* x,
                                double* y) noexcept;

struct PlotLabels {
    std::string_view title, curve, xlabel, ylabel;  // 80 characters each
};
PlotLabels get_user_plot_labels(std::int32_t imodel, std::int32_t iplot) noexcept;

void send_user_plot_suppress(std::int32_t flag) noexcept;

}  // namespace usersub::exchange
