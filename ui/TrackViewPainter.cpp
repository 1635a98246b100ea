#include "ui/TrackViewPainter.h"

#include <wx/brush.h>
#include <wx/pen.h>
#include <wx/settings.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "trackview/TrackDecimation.h"

namespace quillon::ui {

namespace {

const wxColour kCanvas(255, 255, 255);
const wxColour kMapGround(244, 246, 243);
const wxColour kFrame(178, 184, 192);
const wxColour kGrid(226, 230, 234);
const wxColour kInk(52, 58, 64);
const wxColour kFaintInk(110, 118, 126);
const wxColour kSpeedLine(33, 102, 172);
const wxColour kSpeedFill(33, 102, 172, 60);
const wxColour kAltitudeLine(120, 84, 40);
const wxColour kAltitudeFill(166, 124, 72, 70);
const wxColour kHover(220, 30, 90);
const wxColour kStart(30, 150, 60);
const wxColour kEnd(200, 40, 40);
const wxColour kPhoto(116, 62, 168);

wxColour ToColour(const Rgb& rgb) { return wxColour(rgb.red, rgb.green, rgb.blue); }

// The face the view writes in: the system's own, where the graphics context
// can draw it. Some renderers find no face behind the system's alias names
// (GDI+ under Wine draws nothing in "MS Shell Dlg", nor in Wine's Tahoma);
// then the first of a few common faces that measures as text is taken.
wxString DrawableFace(wxGraphicsContext& gc) {
  static bool tried = false;
  static wxString chosen;
  if (tried) return chosen;
  tried = true;
  const wxFont system = wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT);
  chosen = system.GetFaceName();
  for (const wxString& face : {chosen, wxString("Segoe UI"), wxString("Tahoma"), wxString("Arial"),
                              wxString("Liberation Sans"), wxString("DejaVu Sans")}) {
    wxFont font = system;
    font.SetPointSize(8);
    if (!font.SetFaceName(face)) continue;
    gc.SetFont(font, *wxBLACK);
    double width = 0, height = 0;
    gc.GetTextExtent("0", &width, &height);
    if (width > 0 && height > 0) {
      chosen = face;
      break;
    }
  }
  return chosen;
}

wxFont SmallFont(wxGraphicsContext& gc, bool bold = false) {
  wxFont font = wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT);
  font.SetPointSize(8);
  font.SetFaceName(DrawableFace(gc));
  if (bold) font.SetWeight(wxFONTWEIGHT_BOLD);
  return font;
}

double TextWidth(wxGraphicsContext& gc, const wxString& text) {
  double width = 0, height = 0;
  gc.GetTextExtent(text, &width, &height);
  return width;
}

void Text(wxGraphicsContext& gc, const wxString& text, double x, double y, const wxColour& colour, bool bold = false) {
  gc.SetFont(SmallFont(gc, bold), colour);
  gc.DrawText(text, x, y);
}

void FrameRect(wxGraphicsContext& gc, const PixelRect& r, const wxColour& fill) {
  gc.SetPen(wxPen(kFrame, 1));
  gc.SetBrush(wxBrush(fill));
  gc.DrawRectangle(r.left + 0.5, r.top + 0.5, r.width, r.height);
}

void Dot(wxGraphicsContext& gc, const PixelPoint& p, double radius, const wxColour& fill, const wxColour& ring) {
  gc.SetPen(wxPen(ring, 2));
  gc.SetBrush(wxBrush(fill));
  gc.DrawEllipse(p.x - radius, p.y - radius, 2 * radius, 2 * radius);
}

// A label in a small rounded box, its left end at p.
void Badge(wxGraphicsContext& gc, const wxString& text, const PixelPoint& p, const wxColour& edge) {
  gc.SetFont(SmallFont(gc, true), kInk);
  double width = 0, height = 0;
  gc.GetTextExtent(text, &width, &height);
  gc.SetPen(wxPen(edge, 1));
  gc.SetBrush(wxBrush(wxColour(255, 255, 255, 225)));
  gc.DrawRoundedRectangle(p.x, p.y - height / 2 - 2, width + 8, height + 4, 3);
  gc.DrawText(text, p.x + 4, p.y - height / 2);
}

void DrawTrack(wxGraphicsContext& gc, const TrackViewScene& scene) {
  const TrackModel& model = *scene.model;
  const Viewport& view = *scene.viewport;
  const std::vector<TrackFix>& fixes = model.Fixes();
  const std::vector<std::uint32_t> kept = DecimateTrack(model, view);
  // Speeds fall into a few dozen colour steps, so that a stretch of one
  // step is one path rather than a stroke per segment.
  const double step = scene.scale->TopKmh() / 40.0;
  gc.SetBrush(*wxTRANSPARENT_BRUSH);
  std::size_t i = 1;
  while (i < kept.size()) {
    const double band = std::floor(fixes[kept[i]].speedKmh / step);
    wxGraphicsPath path = gc.CreatePath();
    PixelPoint from = view.ToPixel(fixes[kept[i - 1]].x, fixes[kept[i - 1]].y);
    path.MoveToPoint(from.x, from.y);
    while (i < kept.size() && std::floor(fixes[kept[i]].speedKmh / step) == band) {
      PixelPoint to = view.ToPixel(fixes[kept[i]].x, fixes[kept[i]].y);
      path.AddLineToPoint(to.x, to.y);
      ++i;
    }
    wxPen pen(ToColour(scene.scale->ColourOf((band + 0.5) * step)), 3);
    pen.SetJoin(wxJOIN_ROUND);
    pen.SetCap(wxCAP_ROUND);
    gc.SetPen(pen);
    gc.StrokePath(path);
  }

  // Tag runs: a dot at the first fix and its number, leaving out labels that
  // would sit on one already drawn.
  std::vector<PixelPoint> labelled;
  for (const TrackFix& fix : fixes) {
    if (!fix.runStart || fix.untagged) continue;
    PixelPoint p = view.ToPixel(fix.x, fix.y);
    if (!view.Rect().Contains(p)) continue;
    Dot(gc, p, 4, wxColour(255, 255, 255), kInk);
    bool crowded = std::any_of(labelled.begin(), labelled.end(), [&](const PixelPoint& q) {
      return std::abs(q.x - p.x) < 44 && std::abs(q.y - p.y) < 16;
    });
    if (crowded) continue;
    char number[8];
    std::snprintf(number, sizeof number, "%03d", fix.tag);
    Badge(gc, number, {p.x + 7, p.y}, kInk);
    labelled.push_back(p);
  }

  const PixelPoint start = view.ToPixel(fixes.front().x, fixes.front().y);
  const PixelPoint end = view.ToPixel(fixes.back().x, fixes.back().y);
  Dot(gc, end, 6, kEnd, wxColour(255, 255, 255));
  Dot(gc, start, 6, kStart, wxColour(255, 255, 255));
  Badge(gc, "Start", {start.x + 9, start.y - 12}, kStart);
  Badge(gc, "End", {end.x + 9, end.y + 12}, kEnd);
}

// Each geotagged photo a small square where it was taken, the hovered one
// larger and ringed, drawn last so that it is on top.
void DrawPhotos(wxGraphicsContext& gc, const TrackViewScene& scene) {
  if (scene.photos == nullptr) return;
  const Viewport& view = *scene.viewport;
  auto square = [&gc](const PixelPoint& p, double half, const wxColour& ring) {
    gc.SetPen(wxPen(ring, 1.5));
    gc.SetBrush(wxBrush(kPhoto));
    gc.DrawRoundedRectangle(p.x - half, p.y - half, 2 * half, 2 * half, 2);
  };
  for (std::size_t i = 0; i < scene.photos->size(); ++i) {
    if (scene.hoveredPhoto == i) continue;
    const PhotoMarker& marker = (*scene.photos)[i];
    square(view.ToPixel(marker.x, marker.y), 4.5, wxColour(255, 255, 255));
  }
  if (scene.hoveredPhoto && *scene.hoveredPhoto < scene.photos->size()) {
    const PhotoMarker& marker = (*scene.photos)[*scene.hoveredPhoto];
    const PixelPoint p = view.ToPixel(marker.x, marker.y);
    square(p, 6.5, kHover);
    Badge(gc, wxString::FromUTF8(marker.name), {p.x + 10, p.y - 12}, kPhoto);
  }
}

void DrawLegend(wxGraphicsContext& gc, const TrackViewScene& scene) {
  const PixelRect& r = scene.layout.legend;
  if (r.height < 40) return;
  gc.SetPen(wxPen(kFrame, 1));
  gc.SetBrush(wxBrush(wxColour(255, 255, 255, 215)));
  gc.DrawRoundedRectangle(r.left - 8, r.top - 22, r.width + 66, r.height + 32, 4);
  Text(gc, "km/h", r.left, r.top - 18, kFaintInk, true);
  const std::vector<LegendStop> stops = scene.scale->Legend();
  const double top = scene.scale->TopKmh();
  // The bar in thin bands, fastest at the top.
  const int bands = 48;
  gc.SetPen(*wxTRANSPARENT_PEN);
  for (int b = 0; b < bands; ++b) {
    const double kmh = top * (bands - b - 0.5) / bands;
    gc.SetBrush(wxBrush(ToColour(scene.scale->ColourOf(kmh))));
    gc.DrawRectangle(r.left, r.top + r.height * b / bands, r.width, r.height / bands + 1);
  }
  gc.SetPen(wxPen(kFrame, 1));
  gc.SetBrush(*wxTRANSPARENT_BRUSH);
  gc.DrawRectangle(r.left, r.top, r.width, r.height);
  for (const LegendStop& stop : stops) {
    const double y = r.top + r.height * (1.0 - stop.kmh / top);
    gc.StrokeLine(r.left + r.width, y, r.left + r.width + 4, y);
    Text(gc, wxString::Format("%g", stop.kmh), r.left + r.width + 7, y - 6, kInk);
  }
}

void DrawScaleBar(wxGraphicsContext& gc, const TrackViewScene& scene) {
  const PixelRect& map = scene.layout.map;
  const ScaleBar bar = ChooseScaleBar(scene.viewport->MetresPerPixel(), std::min(160.0, map.width / 3));
  if (bar.pixels <= 0) return;
  const double x = map.left + 14, y = map.top + map.height - 16;
  gc.SetPen(*wxTRANSPARENT_PEN);
  gc.SetBrush(wxBrush(wxColour(255, 255, 255, 200)));
  gc.DrawRoundedRectangle(x - 6, y - 20, bar.pixels + 12, 28, 3);
  gc.SetBrush(wxBrush(kInk));
  gc.DrawRectangle(x, y - 3, bar.pixels / 2, 4);
  gc.SetBrush(wxBrush(wxColour(255, 255, 255)));
  gc.SetPen(wxPen(kInk, 1));
  gc.DrawRectangle(x + bar.pixels / 2, y - 3, bar.pixels / 2, 4);
  gc.SetBrush(*wxTRANSPARENT_BRUSH);
  gc.DrawRectangle(x, y - 3, bar.pixels, 4);
  Text(gc, wxString::FromUTF8(bar.label), x, y - 18, kInk);
}

void DrawAttribution(wxGraphicsContext& gc, const TrackViewScene& scene) {
  if (scene.attribution.empty()) return;
  const PixelRect& map = scene.layout.map;
  const wxString text = wxString::FromUTF8(scene.attribution);
  gc.SetFont(SmallFont(gc), kInk);
  double width = 0, height = 0;
  gc.GetTextExtent(text, &width, &height);
  const double x = map.left + map.width - width - 5, y = map.top + map.height - height - 3;
  gc.SetPen(*wxTRANSPARENT_PEN);
  gc.SetBrush(wxBrush(wxColour(255, 255, 255, 200)));
  gc.DrawRectangle(x - 4, y - 1, width + 8, height + 3);
  Text(gc, text, x, y, kInk);
}

void DrawMap(wxGraphicsContext& gc, const TrackViewScene& scene) {
  const PixelRect& map = scene.layout.map;
  FrameRect(gc, map, kMapGround);
  if (scene.model->Empty()) {
    const wxString text = "No fixes with a position to show";
    Text(gc, text, map.left + (map.width - TextWidth(gc, text)) / 2, map.top + map.height / 2, kFaintInk);
    return;
  }
  gc.PushState();
  gc.Clip(map.left + 1, map.top + 1, map.width - 1, map.height - 1);
  if (scene.underlay) scene.underlay(gc, *scene.viewport, map);
  DrawTrack(gc, scene);
  DrawPhotos(gc, scene);
  if (scene.hovered) {
    const TrackFix& fix = scene.model->Fixes()[*scene.hovered];
    const PixelPoint p = scene.viewport->ToPixel(fix.x, fix.y);
    gc.SetPen(wxPen(kHover, 2));
    gc.SetBrush(*wxTRANSPARENT_BRUSH);
    gc.DrawEllipse(p.x - 9, p.y - 9, 18, 18);
    gc.StrokeLine(p.x - 14, p.y, p.x - 9, p.y);
    gc.StrokeLine(p.x + 9, p.y, p.x + 14, p.y);
    gc.StrokeLine(p.x, p.y - 14, p.x, p.y - 9);
    gc.StrokeLine(p.x, p.y + 9, p.x, p.y + 14);
  }
  DrawScaleBar(gc, scene);
  DrawLegend(gc, scene);
  DrawAttribution(gc, scene);
  gc.PopState();
}

struct ProfileStyle {
  ProfileValue value;
  const char* title;
  wxColour line;
  wxColour fill;
};

std::vector<AxisTick> TicksOf(const TrackViewScene& scene) {
  if (!scene.axis->valid) return {};
  return TimeTicks(*scene.axis, std::max(2, static_cast<int>(scene.layout.altitudePlot.width / 90)));
}

double TickX(const TrackViewScene& scene, const AxisTick& tick) {
  const PixelRect& r = scene.layout.altitudePlot;
  return std::round(scene.axis->ToPixel(tick.utcSeconds, r.left, r.width)) + 0.5;
}

void DrawProfile(wxGraphicsContext& gc, const TrackViewScene& scene, const PixelRect& r, const ProfileStyle& style) {
  FrameRect(gc, r, kCanvas);
  const TimeAxis& axis = *scene.axis;
  gc.SetPen(wxPen(kGrid, 1));
  for (const AxisTick& tick : TicksOf(scene))
    gc.StrokeLine(TickX(scene, tick), r.top + 1, TickX(scene, tick), r.top + r.height);
  double low = 0, high = 0;
  ProfileRange(*scene.model, style.value, low, high);
  if (style.value == ProfileValue::kSpeedKmh) low = 0;
  const std::vector<double> ticks = ValueTicks(low, high, r.height > 90 ? 5 : 3);
  const double bottom = ticks.front(), top = ticks.back();
  auto yOf = [&](double v) { return r.top + r.height - (v - bottom) / (top - bottom) * r.height; };

  gc.SetPen(wxPen(kGrid, 1));
  for (double v : ticks) {
    const double y = std::round(yOf(v)) + 0.5;
    if (v != bottom && v != top) gc.StrokeLine(r.left + 1, y, r.left + r.width, y);
    const wxString label = wxString::Format("%g", v);
    Text(gc, label, r.left - 6 - TextWidth(gc, label), y - 7, kFaintInk);
  }
  gc.SetFont(SmallFont(gc, true), kFaintInk);
  double titleWidth = 0, titleHeight = 0;
  gc.GetTextExtent(style.title, &titleWidth, &titleHeight);
  const double titleX = r.left + 6, titleY = r.top + 4;
  if (!axis.valid) {
    Text(gc, style.title, titleX, titleY, kFaintInk, true);
    return;
  }

  const int width = static_cast<int>(r.width);
  const std::vector<ProfileColumn> columns = ProfileColumns(*scene.model, axis, style.value, width);
  if (!columns.empty()) {
    // The band of lowest to highest per column, then the line through it.
    wxGraphicsPath band = gc.CreatePath();
    band.MoveToPoint(r.left + columns.front().column, yOf(bottom));
    for (const ProfileColumn& c : columns) band.AddLineToPoint(r.left + c.column + 0.5, yOf(c.high));
    band.AddLineToPoint(r.left + columns.back().column + 0.5, yOf(bottom));
    band.CloseSubpath();
    gc.SetPen(*wxTRANSPARENT_PEN);
    gc.SetBrush(wxBrush(style.fill));
    gc.FillPath(band);
    wxGraphicsPath line = gc.CreatePath();
    line.MoveToPoint(r.left + columns.front().column + 0.5, yOf(columns.front().first));
    for (const ProfileColumn& c : columns) {
      line.AddLineToPoint(r.left + c.column + 0.5, yOf(c.first));
      if (c.high != c.low) {
        line.AddLineToPoint(r.left + c.column + 0.5, yOf(c.high));
        line.AddLineToPoint(r.left + c.column + 0.5, yOf(c.low));
      }
      line.AddLineToPoint(r.left + c.column + 0.5, yOf(c.last));
    }
    gc.SetPen(wxPen(style.line, 1.5));
    gc.SetBrush(*wxTRANSPARENT_BRUSH);
    gc.StrokePath(line);
    // A line of no length draws nothing: a lone fix (or fixes of one value
    // in one column) is a dot.
    if (columns.size() == 1 && columns.front().low == columns.front().high) {
      Dot(gc, {r.left + columns.front().column + 0.5, yOf(columns.front().first)}, 2.5, style.line, style.line);
    }
  }
  // The title goes over the curves on a light ground of its own.
  gc.SetPen(*wxTRANSPARENT_PEN);
  gc.SetBrush(wxBrush(wxColour(255, 255, 255, 210)));
  gc.DrawRectangle(titleX - 3, titleY - 1, titleWidth + 6, titleHeight + 2);
  Text(gc, style.title, titleX, titleY, kFaintInk, true);
  if (scene.hovered) {
    const TrackFix& fix = scene.model->Fixes()[*scene.hovered];
    if (fix.hasTime) {
      const double x = axis.ToPixel(fix.utcSeconds, r.left, r.width);
      const double v = style.value == ProfileValue::kSpeedKmh ? fix.speedKmh : fix.altitude;
      gc.SetPen(wxPen(kHover, 1));
      gc.StrokeLine(x, r.top, x, r.top + r.height);
      Dot(gc, {x, yOf(v)}, 3.5, kHover, wxColour(255, 255, 255));
    }
  }
}

void DrawTimeAxis(wxGraphicsContext& gc, const TrackViewScene& scene) {
  const PixelRect& r = scene.layout.altitudePlot;
  // The clock of the axis sits under the value labels, left of the plot.
  const wxString zone = scene.useLocalTime ? "local time" : "UTC";
  Text(gc, zone, r.left - 6 - TextWidth(gc, zone), r.top + r.height + 5, kFaintInk, true);
  for (const AxisTick& tick : TicksOf(scene)) {
    const double x = TickX(scene, tick);
    gc.SetPen(wxPen(kFrame, 1));
    gc.StrokeLine(x, r.top + r.height, x, r.top + r.height + 4);
    const wxString label = wxString::FromUTF8(tick.label);
    const double w = TextWidth(gc, label);
    if (x - w / 2 > r.left - 4 && x + w / 2 < r.left + r.width + 4)
      Text(gc, label, x - w / 2, r.top + r.height + 5, kInk);
  }
}

}  // namespace

void PaintTrackView(wxGraphicsContext& gc, const TrackViewScene& scene, double width, double height) {
  gc.SetAntialiasMode(wxANTIALIAS_DEFAULT);
  gc.SetPen(*wxTRANSPARENT_PEN);
  gc.SetBrush(wxBrush(kCanvas));
  gc.DrawRectangle(0, 0, width, height);
  DrawMap(gc, scene);
  DrawProfile(gc, scene, scene.layout.speedPlot, {ProfileValue::kSpeedKmh, "Speed (km/h)", kSpeedLine, kSpeedFill});
  DrawProfile(gc, scene, scene.layout.altitudePlot,
              {ProfileValue::kAltitude, "Altitude (m)", kAltitudeLine, kAltitudeFill});
  DrawTimeAxis(gc, scene);
}

}  // namespace quillon::ui
