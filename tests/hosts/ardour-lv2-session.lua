-- Sparkwell's LV2 bundle in a headless Ardour session (ardour7-lua, the "None (Dummy)" audio
-- backend), beside the VST module. Ardour must list the bundle (its LV2 scan is lilv), insert
-- it by URI with the ports' names and defaults, and play it: the same setting on the LV2 on one
-- track and on the VST on another, both fed the same backend inputs, must meter the same; the
-- Gain port moves the output by its dB; Effect off passes the input. The session is saved,
-- closed and loaded again: every port value comes back.
--
-- Environment: SPARKWELL_SESSION_DIR (a new, empty folder). Any failed check raises an error,
-- which makes ardour7-lua exit with status 1; the last line on success is
-- "lv2 session checks passed".

local URI = "https://quillane.example/lv2/sparkwell"
local VST_ID = "1397446476" -- 'SKWL'
local NAMES = { "Gain", "HPF", "Input", "Grid Current", "Treble", "Pickup", "Transistor",
                "Stereo", "Effect" }
local DEFAULTS = { -8, 1, 0, 0, 1, 2, 0, 1, 1 }
local GAIN, EFFECT = 0, 8
-- A setting away from every default, as port values and as the VST parameter values the ports
-- stand for (Gain (dB + 50) / 70, Input (dB + 30) / 60, Pickup point / 4; index 8 skipped).
local SETTING = { -18.5, 0.8, 6, 0.3, 0.25, 3, 1, 0, 1 }
local VST_SETTING = { [0] = 0.45, 0.8, 0.6, 0.3, 0.25, 0.75, 1, 0, [9] = 1 }

local function report(...)
  local parts = {}
  for _, v in ipairs({ ... }) do parts[#parts + 1] = tostring(v) end
  io.stderr:write("ardour lv2 session: " .. table.concat(parts, " ") .. "\n")
end
local function check(ok, ...)
  if not ok then
    local parts = {}
    for _, v in ipairs({ ... }) do parts[#parts + 1] = tostring(v) end
    error("ardour lv2 session: FAIL " .. table.concat(parts, " "), 0)
  end
end
local function near(a, b, tolerance) return math.abs(a - b) <= tolerance end
local function same_value(a, b) return near(a, b, 1e-5) end

local dir = os.getenv("SPARKWELL_SESSION_DIR")
check(dir, "SPARKWELL_SESSION_DIR must be set")
check(AudioEngine:set_backend("None (Dummy)", "", ""), "no \"None (Dummy)\" audio backend")
check(AudioEngine:set_device_name("Sine Wave") == 0, "the dummy backend has no \"Sine Wave\" input")
AudioEngine:set_sample_rate(48000)
AudioEngine:set_buffer_size(256)
check(create_session(dir, "sparkwell", 48000), "cannot create a session in", dir)

local lv2_listed, vst_listed = {}, 0
for info in ARDOUR.LuaAPI.list_plugins():iter() do
  if info.type == ARDOUR.PluginType.LV2 and info.unique_id == URI then
    lv2_listed[#lv2_listed + 1] = info
  end
  if info.type == ARDOUR.PluginType.LXVST and info.unique_id == VST_ID then
    vst_listed = vst_listed + 1
  end
end
check(#lv2_listed == 1, "Ardour lists", #lv2_listed, "LV2 plug-ins with Sparkwell's URI instead of one")
check(vst_listed == 1, "Ardour lists", vst_listed, "Sparkwell VST modules instead of one")
local info = lv2_listed[1]
report("listed:", info.name, "by", info.creator, "in category", info.category)
check(info.name == "Sparkwell" and info.creator == "Quillane", "Ardour lists", info.name, info.creator)

local function new_track(name)
  local track = Session:new_audio_track(2, 2, nil, 1, name, ARDOUR.PresentationInfo.max_order,
                                        ARDOUR.TrackMode.Normal, false):front()
  check(not track:isnil(), "no stereo audio track")
  track:input():disconnect_all(nil)
  for c = 0, 1 do
    local capture = "system:capture_" .. (c + 1)
    track:input():audio(c):connect(capture)
    check(track:input():audio(c):connected_to(capture), "cannot connect", name, "to", capture)
  end
  track:monitoring_control():set_value(ARDOUR.MonitorChoice.MonitorInput,
                                       PBD.GroupControlDisposition.NoGroup)
  return track
end
local function insert(track, id, type)
  local proc = ARDOUR.LuaAPI.new_plugin(Session, id, type, "")
  check(not proc:isnil(), "Ardour cannot instantiate", id)
  check(track:add_processor_by_index(proc, 0, nil, true) == 0, "Ardour refuses to insert", id)
  return proc
end
local function param(proc, i)
  local value, refs = ARDOUR.LuaAPI.get_processor_param(proc, i, true)
  check(refs[3], "Ardour has no control for parameter", i)
  return value
end
local function set_param(proc, i, value)
  check(ARDOUR.LuaAPI.set_processor_param(proc, i, value), "Ardour cannot set parameter", i)
  check(same_value(param(proc, i), value), "parameter", i, "set to", value, "reads back", param(proc, i))
end
-- Peak level (dBFS) of both output channels of each track over 0.35 s, after 0.15 s to settle.
local function levels_of(tracks)
  ARDOUR.LuaAPI.usleep(150000)
  for _, t in ipairs(tracks) do t:peak_meter():reset_max() end
  ARDOUR.LuaAPI.usleep(350000)
  local result = {}
  for _, t in ipairs(tracks) do
    local meter = t:peak_meter()
    result[#result + 1] = { meter:meter_level(0, ARDOUR.MeterType.MeterMaxPeak),
                            meter:meter_level(1, ARDOUR.MeterType.MeterMaxPeak) }
  end
  return result
end
local function show(l) return string.format("%.3f / %.3f dBFS", l[1], l[2]) end
local function check_sane(l, what)
  check(l[1] > -100 and l[1] < 24 and l[2] > -100 and l[2] < 24, what, "out of any sane range:", show(l))
end
local function same_levels(a, b, tolerance)
  return near(a[1], b[1], tolerance) and near(a[2], b[2], tolerance)
end

local lv2_track = new_track("LV2")
local vst_track = new_track("VST")
local input = levels_of({ lv2_track })[1]
-- On a loaded machine the backend's first cycles may come after the first wait: measure again
-- until the new track carries the backend's signal, so every later comparison has a reference.
for _ = 1, 20 do
  if input[1] > -100 and input[2] > -100 then break end
  input = levels_of({ lv2_track })[1]
end
report("track without the plug-in:", show(input))
check_sane(input, "the track's input is")

local lv2 = insert(lv2_track, URI, ARDOUR.PluginType.LV2)
local vst = insert(vst_track, VST_ID, ARDOUR.PluginType.LXVST)
local plugin = lv2:to_insert():plugin(0)
check(plugin:name() == "Sparkwell" and plugin:unique_id() == URI, "the instance calls itself",
      plugin:name(), plugin:unique_id())
-- Ardour numbers an LV2's parameters by port (audio ports included), its controls by input.
check(plugin:parameter_count() == 4 + #NAMES, "Ardour sees", plugin:parameter_count(), "ports")
for i = 0, #NAMES - 1 do
  local _, refs = plugin:get_parameter_descriptor(4 + i, ARDOUR.ParameterDescriptor())
  local desc = refs[2]
  check(desc.label == NAMES[i + 1], "parameter", i, "is called '" .. desc.label .. "'")
  check(same_value(desc.normal, DEFAULTS[i + 1]) and same_value(param(lv2, i), DEFAULTS[i + 1]),
        "parameter", i, "starts at", desc.normal, "/", param(lv2, i), "instead of", DEFAULTS[i + 1])
end

-- The same setting in both formats sounds the same.
for i = 0, #SETTING - 1 do set_param(lv2, i, SETTING[i + 1]) end
for i, value in pairs(VST_SETTING) do set_param(vst, i, value) end
local both = levels_of({ lv2_track, vst_track })
report("LV2:", show(both[1]), " VST:", show(both[2]))
check_sane(both[1], "the LV2's output is")
check(not same_levels(both[1], input, 0.5), "the LV2 leaves the input as it was:", show(both[1]))
check(same_levels(both[1], both[2], 0.01), "the LV2 and the VST differ:", show(both[1]), show(both[2]))

-- The Gain port is in dB: +20 dB on the port, +20 dB at the meter.
set_param(lv2, GAIN, SETTING[GAIN + 1] + 20)
local louder = levels_of({ lv2_track })[1]
report("Gain +20 dB:", show(louder))
check(near(louder[1] - both[1][1], 20, 0.25) and near(louder[2] - both[1][2], 20, 0.25),
      "Gain +20 dB moves the output by", louder[1] - both[1][1], louder[2] - both[1][2])
set_param(lv2, GAIN, SETTING[GAIN + 1])

-- Effect off in "Stereo" passes the inputs through; Ardour's deactivate and activate change
-- nothing after.
set_param(lv2, EFFECT, 0)
local off = levels_of({ lv2_track })[1]
check(same_levels(off, input, 0.01), "Effect off is not the input:", show(off), show(input))
set_param(lv2, EFFECT, 1)
lv2:deactivate()
lv2:activate()
local again = levels_of({ lv2_track, vst_track })
check(same_levels(again[1], again[2], 0.01), "after deactivate and activate the LV2 differs:",
      show(again[1]), show(again[2]))

check(Session:save_state("", false, false, false, false, false) == 0, "the session cannot be saved")
close_session()
check(load_session(dir, "sparkwell"), "the saved session does not load")
local route = Session:route_by_name("LV2")
check(not route:isnil(), "the LV2 track is gone after loading")
lv2 = route:nth_plugin(0)
check(not lv2:isnil() and lv2:to_insert():plugin(0):unique_id() == URI,
      "the LV2 is gone after loading")
for i = 0, #SETTING - 1 do
  check(same_value(param(lv2, i), SETTING[i + 1]), "port", i, "came back as", param(lv2, i),
        "instead of", SETTING[i + 1])
end
local loaded = levels_of({ route:to_track(), Session:route_by_name("VST"):to_track() })
report("after save, close and load: LV2", show(loaded[1]), " VST", show(loaded[2]))
check(same_levels(loaded[1], loaded[2], 0.01), "the loaded LV2 and VST differ:",
      show(loaded[1]), show(loaded[2]))
close_session()
report("lv2 session checks passed")
