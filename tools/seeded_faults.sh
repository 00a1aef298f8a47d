#!/usr/bin/env bash
# Plants small faults in the core, one at a time, in a scratch copy of the
# source, and runs the test suite against each. A fault the suite lets
# through is a gap in it. Slow (a rebuild per fault), so not part of ./test.sh.
#
# usage: tools/seeded_faults.sh [--check] [PATTERN]
#   --check   only verify that every edit still applies exactly once
#   PATTERN   run only the faults whose file or name matches this regular expression
# environment: PELT_FAULTS_DIR (scratch folder, default /tmp/pelt-seeded-faults-$UID),
#   PELT_FAULT_TIMEOUT (seconds per test, default 60), PELT_FAULT_JOBS (default 2)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
work=${PELT_FAULTS_DIR:-/tmp/pelt-seeded-faults-$(id -u)}
timeout=${PELT_FAULT_TIMEOUT:-60}
jobs=${PELT_FAULT_JOBS:-2}
check_only=0
if [[ ${1:-} == --check ]]; then
  check_only=1
  shift
fi
pattern=${1:-}

# Each fault: "@ file  name", then "- " and the line exactly as it stands
# (indentation included), then "+ " and the line with the fault. The line
# must occur exactly once in the file, so drift is reported, never skipped.
read -r -d '' FAULTS <<'EOF' || true
@ src/platform/safe_save.cpp  single-link files rewritten in place
-   if (exists && (!created || old.st_nlink > 1))
+   if (exists && (!created || old.st_nlink >= 1))
@ src/platform/pack_archive.cpp  pak entry ending exactly at the file's end refused
-   return offset > fileSize || length > fileSize - offset;
+   return offset > fileSize || length >= fileSize - offset;
@ src/platform/pack_archive.cpp  pak name without its NUL accepted
-     if (nameLength == kPackNameSize)
+     if (nameLength > kPackNameSize)
@ src/platform/game_files.cpp  lower-numbered pak wins
-     return pakNumber(a) > pakNumber(b);
+     return pakNumber(a) < pakNumber(b);
@ src/platform/game_files.cpp  pak0.pak not recognised (length bound)
-   if (lower.size() < 8 || lower.size() > 16 || !lower.starts_with("pak") ||
+   if (lower.size() < 9 || lower.size() > 16 || !lower.starts_with("pak") ||
@ src/platform/paths.cpp  ".." path steps allowed
-     if (name.compare(start, end - start, "..") == 0) return false;
+     if (name.compare(start, end - start, "..") == 0) continue;
@ src/platform/json_text.cpp  overlong two-byte UTF-8 accepted
-   if (lead >= 0xC2 && lead <= 0xDF)
+   if (lead >= 0xC0 && lead <= 0xDF)
@ src/platform/file_io.cpp  short range read reported as success
-   if (result.error == 0 && result.bytes.size() != count) result.error = EIO;
+   if (result.error == 0 && result.bytes.size() > count) result.error = EIO;
@ src/platform/zip_archive.cpp  folder entries listed as files
-     if (!name.empty() && name.back() == '/') continue;  // a folder
+     if (!name.empty() && name.front() == '/') continue;  // a folder
@ src/raster/clipping.cpp  point in polygon: edge x bound inclusive on both ends
-     if (p1.x < px && px <= p2.x && (py - p1.y) * (p2.x - p1.x) < (px - p1.x) * (p2.y - p1.y)) {
+     if (p1.x <= px && px <= p2.x && (py - p1.y) * (p2.x - p1.x) < (px - p1.x) * (p2.y - p1.y)) {
@ src/raster/clipping.cpp  near-plane clip keeps a segment wholly in front of it
-   if (farEnd->z < kNearZ) return false;
+   if (nearEnd->z < kNearZ) return false;
@ src/raster/rasterizer.cpp  edges starting on the last column clipped away
-   if (coordinate<kAxis>(low) > hi || coordinate<kAxis>(high) < 0) return false;
+   if (coordinate<kAxis>(low) >= hi || coordinate<kAxis>(high) < 0) return false;
@ src/raster/rasterizer.cpp  span right edge not widened
-     if (xRight > rows.right[y]) {
+     if (xRight < rows.right[y]) {
@ src/skins/paint_stroke.h  line brush without its mask reset
-       std::fill(paintedMask_.begin(), paintedMask_.end(), 0);
+       (void)0;
@ src/skins/paint_stroke.cpp  fill ignores the protected colours
-   if (tables.protectedColors[colour] != 0 || painted == colour) return false;
+   if (painted == colour) return false;
@ src/skins/paint_stroke.cpp  soft brush stacks a stronger dab on a weaker one
-   if (mark != 0 && offset < pixelBackup_.size()) {
+   if (mark != 0 && offset > pixelBackup_.size()) {
@ src/skins/brush.cpp  soft levels of even sizes centred as the square's
-   const int middle2 = n % 2 == 0 ? (shape.round ? 2 : 1) : 0;
+   const int middle2 = n % 2 == 0 ? (shape.round ? 1 : 2) : 0;
@ src/skins/brush.cpp  larger brush skips a size step
-     if (step > size) return step;
+     if (step > size + 1) return step;
@ src/skins/paint_rule.cpp  blend in hue and saturation keeps the pixel's saturation
-       target = hsvToRgb(paintHsv.h, paintHsv.s, own.v);
+       target = hsvToRgb(paintHsv.h, own.s, own.v);
@ src/skins/paint_rule.cpp  soft levels one step too weak
-                     amount * static_cast<double>(k + 1) / kSoftLevels, mode);
+                     amount * static_cast<double>(k) / kSoftLevels, mode);
@ src/skins/paint_rule.cpp  nearest colour prefers the last of equals
-     const bool closer = d < bestDistance;
+     const bool closer = d <= bestDistance;
@ src/skins/skin_image.cpp  PCX without a palette marker loses its last bytes
-     if (file[file.size() - kPaletteBytes - 1] == kPcxPaletteMarker) end -= kPaletteBytes + 1;
+     end -= kPaletteBytes + 1;
@ src/skins/skin_image.cpp  PCX writer: index 0xC0 not escaped
-     if (value >= kPcxRunFlag) out.push_back(kPcxRunFlag | 1);
+     if (value > kPcxRunFlag) out.push_back(kPcxRunFlag | 1);
@ src/skins/skin_image.cpp  BMP with 256 declared colours read as default
-   if (colours == 0 || colours > 256) colours = 256;
+   if (colours == 0 || colours >= 256) colours = 255;
@ src/skins/palette_file.cpp  BMP palette of another depth accepted
-     if (bytes.size() < 14 + 40 || readU16(bytes.data() + 28) != 8) return false;
+     if (bytes.size() < 14 + 40) return false;
@ src/model/selection.cpp  hidden triangles spread the growth
-     if (visible(tri) && anyMarked(model, tri, kMarkSelected)) spreadFrom(model, tri);
+     if (anyMarked(model, tri, kMarkSelected)) spreadFrom(model, tri);
@ src/model/selection.cpp  hidden triangles receive the growth
-     if (visible(tri) && allMarked(model, tri, kMarkSpread)) tri.flags |= kTriangleSelected;
+     if (allMarked(model, tri, kMarkSpread)) tri.flags |= kTriangleSelected;
@ src/model/selection.cpp  unhide leaves triangles unselected
-     if (!visible(tri)) tri.flags = (tri.flags & ~kTriangleHidden) | kTriangleSelected;
+     if (!visible(tri)) tri.flags = tri.flags & ~kTriangleHidden;
@ src/model/selection.cpp  shrink treats hidden neighbours as unselected
-     if (visible(tri) && (!selected(tri) || !allMarked(model, tri, kMarkSelected)))
+     if (!selected(tri) || !allMarked(model, tri, kMarkSelected))
@ src/model/md2_format.cpp  block check allows one past the file
-   return offset >= 0 && count >= 0 && offset + count * size <= static_cast<std::int64_t>(fileSize);
+   return offset >= 0 && count >= 0 && offset + count * size <= static_cast<std::int64_t>(fileSize) + 1;
@ src/model/md2_writer.cpp  skin name of 64 bytes written without its NUL
-     if (skin->name.size() >= static_cast<size_t>(kMd2SkinNameSize))
+     if (skin->name.size() > static_cast<size_t>(kMd2SkinNameSize))
@ src/model/mapping_file.cpp  mapping vertex index past the model accepted
-     if (record.vertexIndex[k] < 0 || record.vertexIndex[k] >= target.vertexCount) return false;
+     if (record.vertexIndex[k] < 0 || record.vertexIndex[k] > target.vertexCount) return false;
@ src/model/mapping_file.cpp  mapping of another triangle count accepted
-   if (triangles != target.triangleCount) return refused(kPmapTriangleCountMessage);
+   if (triangles > target.triangleCount) return refused(kPmapTriangleCountMessage);
@ src/model/animation.cpp  frame group stops before its last frame
-   while (last + 1 < count && same(last + 1)) ++last;
+   while (last + 2 < count && same(last + 1)) ++last;
@ src/model/animation.cpp  playback does not wrap to the group's first frame
-   const int next = run.first + static_cast<int>((whole + 1) % run.count);
+   const int next = run.first + static_cast<int>(std::min<std::int64_t>(whole + 1, run.count - 1));
@ src/app/commands/companion.cpp  companion shown at a frame it does not have
-     if (frame < 0 || companion->hidden || companion->frameCount <= frame) continue;
+     if (frame < 0 || companion->hidden || companion->frameCount < frame) continue;
@ src/model/mirror_lookup.cpp  degenerate mirror triangle gives weights
-   if (area == 0) return std::nullopt;
+   if (area == 0 && false) return std::nullopt;
@ src/view3d/model_view.cpp  edge-on triangles drawn
-       if (det >= 0) continue;
+       if (det > 0) continue;
@ src/view3d/model_view.cpp  triangles at the near plane dropped
-       if (!(p2.z >= kNearestFilled && p1.z >= kNearestFilled && p0.z >= kNearestFilled)) continue;
+       if (!(p2.z >= kNearestFilled && p1.z >= kNearestFilled)) continue;
@ src/view3d/model_view.cpp  hidden triangles of the model drawn
-       if (!mesh.companion && (tri.flags & kTriangleHidden) != 0) continue;
+       if (mesh.companion && (tri.flags & kTriangleHidden) != 0) continue;
@ src/view3d/camera_drag.cpp  field of view not clamped at its widest
-   return static_cast<float>(std::clamp<double>(wanted, kMinFieldOfView, kMaxFieldOfView));
+   return static_cast<float>(std::max<double>(wanted, kMinFieldOfView));
@ src/view3d/camera_fit.cpp  frame model may leave vertices behind the near limit
-                          std::abs(p.y) * pixelsPerSlope / roomY - depth, kNearest - depth});
+                          std::abs(p.y) * pixelsPerSlope / roomY - depth});
@ src/skinview/skin_view.cpp  windowToSkin t from the half width
-           static_cast<float>(wy - halfHeight()) / zoom + panT};
+           static_cast<float>(wy - halfWidth()) / zoom + panT};
@ src/skinview/skin_view_zoom.cpp  wheel zoom not clamped
-   zoom = std::clamp(zoom, kMinSkinZoom, kMaxSkinZoom);
+   zoom = std::max(zoom, kMinSkinZoom);
@ src/skinview/mapping_gestures.cpp  vertex drag clamps to one past the skin
-   const StCoord moved{static_cast<std::int16_t>(std::clamp(cell.s, 0, model.skinWidth - 1)),
+   const StCoord moved{static_cast<std::int16_t>(std::clamp(cell.s, 0, model.skinWidth)),
@ src/skinview/mapping_gestures.cpp  Ctrl-drag scales t by the sideways move
-                              state.scaleT + dy * kScalePerPixel);
+                              state.scaleT + dx * kScalePerPixel);
@ src/colorboxes/palette_box.cpp  slot 3 not a mesh slot
- bool isMeshSlot(int slot) { return slot >= 1 && slot <= 3; }
+ bool isMeshSlot(int slot) { return slot >= 1 && slot < 3; }
@ src/colorboxes/gradient_box.cpp  gauge fraction not clamped
-   return std::clamp(static_cast<double>(y) / rows, 0.0, 1.0);
+   return static_cast<double>(y) / rows;
@ src/colorboxes/gradient_box.cpp  grip rows taken by the gauge
-   if (y < h - kGradientStripRows) return Part::Gauge;
+   if (y <= h - kGradientStripRows) return Part::Gauge;
@ src/app/command_table.cpp  Companion Offset enabled without a companion
-   {32814, "Companion", "&Offset", "", 0, "", onApp<offsetCompanion>, hasCurrentCompanion},
+   {32814, "Companion", "&Offset", "", 0, "", onApp<offsetCompanion>},
@ src/app/command_table.cpp  mirror axis Z ticks X
-   {33248, "Options/Mirror Axis", "Z", "", 0, "", onApp<chooseMirrorAxis<2>>, nullptr, mirrorAxisIs<2>},
+   {33248, "Options/Mirror Axis", "Z", "", 0, "", onApp<chooseMirrorAxis<2>>, nullptr, mirrorAxisIs<0>},
@ src/app/commands/options_colors.cpp  mesh colour change leaves the shade ramps
-   if (isMeshSlot(app.currentSlot)) rebuildShadeRamps(app);
+   if (isMeshSlot(app.currentSlot) && app.currentSlot != 3) rebuildShadeRamps(app);
@ src/app/commands/options_brush.cpp  soft brush switched on without its strength tables
-   buildBlendTable(app);
+   (void)app;
@ src/app/playback.cpp  playing a group that ends on the model's last frame stops at once
-   if (p.run.first + p.run.count > static_cast<int>(model.frames.size())) return stopPlayback(app);
+   if (p.run.first + p.run.count >= static_cast<int>(model.frames.size())) return stopPlayback(app);
@ src/app/commands/skins.cpp  Link accepts a skin that is linked already
- bool canLinkSkin(const App& app) { return hasCurrentSkin(app) && !app.model.currentSkin()->isLinked(); }
+ bool canLinkSkin(const App& app) { return hasCurrentSkin(app); }
@ src/app/commands/skins_operations.cpp  resize to height 0 accepted
-   if (v.width < 1 || v.height < 1) return kResizeZeroMessage;
+   if (v.width < 1 || v.height < 0) return kResizeZeroMessage;
@ src/app/commands/skins_operations.cpp  resize to exactly the memory limit refused
-   if (bytes <= kMaxModelLoadBytes) return {};
+   if (bytes < kMaxModelLoadBytes) return {};
@ src/view3d/map_from_view.cpp  Map from 3D View lays out edge-on triangles with no back faces asked
-     if (noBackfaces && backFaceDet(at(0), at(1), at(2)) >= 0) continue;
+     if (noBackfaces && backFaceDet(at(0), at(1), at(2)) > 0) continue;
@ src/app/frame_layout.cpp  split bar snaps one pixel early on the right
-   if (x > width - kSplitSnapDistance) return 1.0;
+   if (x >= width - kSplitSnapDistance) return 1.0;
@ src/model/md2_format.cpp  a model of exactly the most vertices refused
-   return h.vertexCount >= 0 && h.vertexCount <= kMaxVertices && h.triangleCount >= 0 &&
+   return h.vertexCount >= 0 && h.vertexCount < kMaxVertices && h.triangleCount >= 0 &&
@ src/app/refresh.cpp  the current skin is lost when a linked skin moves before it
-     else if (current == j)
+     else if (current == j + 1)
@ src/skinview/paint_gestures.cpp  the fill brush keeps to the selection without Ctrl
-   if (view.ctrlHeld && in.brush.selectionMask) allowed = in.brush.selectionMask();
+   if (in.brush.selectionMask) allowed = in.brush.selectionMask();
@ src/demo/demo_folder.cpp  the demo folder lacks its last creature skin
-   for (std::size_t i = 0; i < creature.skinNames.size(); ++i)
+   for (std::size_t i = 0; i + 1 < creature.skinNames.size(); ++i)
@ src/demo/demo_mesh.cpp  a turned demo part keeps its skin corners in the old order
-     std::swap(triangles_[i].st[1], triangles_[i].st[2]);
+     (void)i;
@ src/demo/demo_palette.cpp  demo ramps clamp one shade short
-   shade = std::clamp(shade, 0, kRampLength - 1);
+   shade = std::clamp(shade, 0, kRampLength - 2);
EOF

files=() names=() olds=() news=()
while IFS= read -r line; do
  case $line in
    "@ "*)
      rest=${line#@ }
      files+=("${rest%%  *}")
      names+=("${rest#*  }")
      ;;
    "- "*) olds+=("${line#- }") ;;
    "+ "*) news+=("${line#+ }") ;;
    "") ;;
    *) echo "seeded_faults: cannot read the fault list at: $line" >&2; exit 2 ;;
  esac
done <<<"$FAULTS"
if (( ${#files[@]} != ${#olds[@]} || ${#files[@]} != ${#news[@]} )); then
  echo "seeded_faults: every fault needs one @, one - and one + line" >&2
  exit 2
fi

tree=$work/tree
build=$work/build

# Exactly one line of the file is the old line.
occurrences() { grep -Fxc -- "$3" "$1/$2" || true; }

drifted=0
for i in "${!files[@]}"; do
  n=$(occurrences "$root" "${files[$i]}" "${olds[$i]}")
  if [[ $n != 1 ]]; then
    echo "DRIFTED  ${files[$i]}: ${names[$i]} (the line occurs $n times)"
    drifted=$((drifted + 1))
  fi
done
if (( check_only )); then
  echo "${#files[@]} faults, $drifted drifted"
  exit $(( drifted > 0 ))
fi

mkdir -p "$tree"
exec 9>"$work/lock"
flock -n 9 || { echo "seeded_faults: another run is using $work" >&2; exit 2; }
# Files keep their times, so only what changed since the last run rebuilds;
# a file a killed run left planted is touched so that it rebuilds too.
tar -C "$root" --exclude='./build*' --exclude='./.git' -cf - . | tar -C "$tree" -xf -
(cd "$tree" && find src tests -type f) | while read -r f; do
  [[ -e $root/$f ]] || rm -f "$tree/$f"
done
if [[ -f $work/planted ]]; then
  touch "$tree/$(cat "$work/planted")"
  rm -f "$work/planted"
fi

export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$work}
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
build_tests() {
  nice -n 10 cmake --build "$build" --target pelt_tests -j"$jobs" >"$work/build.log" 2>&1
}
run_tests() {
  (cd "$build" && QT_QPA_PLATFORM=offscreen ctest -j"$jobs" --timeout "$timeout" \
    --stop-on-failure >"$work/ctest.log" 2>&1)
}

if [[ ! -f $build/CMakeCache.txt ]]; then
  cmake -S "$tree" -B "$build" -DCMAKE_BUILD_TYPE=Release -DPELT_BUILD_GUI=OFF \
    -DPELT_BUILD_BENCH=OFF "${launcher[@]}" >"$work/configure.log"
fi
build_tests || { echo "the unchanged copy does not build: $work/build.log" >&2; exit 2; }
run_tests || { echo "the unchanged copy fails its tests: $work/ctest.log" >&2; exit 2; }

total=0 caught=0 broken=0 survivors=()
for i in "${!files[@]}"; do
  file=${files[$i]} name=${names[$i]}
  [[ -z $pattern || $file =~ $pattern || $name =~ $pattern ]] || continue
  [[ $(occurrences "$tree" "$file" "${olds[$i]}") == 1 ]] || continue
  cp -p "$tree/$file" "$work/original"
  echo "$file" >"$work/planted"
  OLD=${olds[$i]} NEW=${news[$i]} perl -i -ne \
    'if ($_ eq "$ENV{OLD}\n") { print "$ENV{NEW}\n" } else { print }' "$tree/$file"
  total=$((total + 1))
  if ! build_tests; then
    cp "$work/build.log" "$work/broken-$i.log"
    echo "BROKEN   $file: $name (does not build; see $work/broken-$i.log)"
    broken=$((broken + 1))
  elif run_tests; then
    echo "SURVIVED $file: $name"
    survivors+=("$file: $name")
  else
    failed=$(head -n 1 "$build/Testing/Temporary/LastTestsFailed.log" 2>/dev/null | cut -d: -f2)
    echo "caught   $file: $name (${failed:-failed})"
    caught=$((caught + 1))
  fi
  cp "$work/original" "$tree/$file"
  rm -f "$work/planted"
done
build_tests || true

echo "caught $caught of $total planted faults ($broken did not build, $drifted drifted)"
for s in "${survivors[@]}"; do echo "  survived: $s"; done
(( broken == 0 && drifted == 0 ))
