-- Sparkwell in a headless Ardour session (ardour7-lua, the "None (Dummy)" audio backend).
-- Ardour finds the plug-in in its LXVST list by its unique ID, inserts it on a stereo
-- track and runs the engine on the backend's test sines (-18 dBFS, a random frequency per
-- port). Levels come from the track's post-fader meter: the output gain law, the bypass
-- and Ardour's own deactivation all show up there. The session is then saved, closed and
-- loaded again: Ardour must bring the plug-in back with every value it had.
--
-- Environment: SPARKWELL_SESSION_DIR (a new, empty folder), SPARKWELL_PLUGIN_COPY (the
-- path of the plug-in in Ardour's LXVST folder). Any failed check raises an error, which
-- makes ardour7-lua exit with status 1; the last line on success is "session checks passed".

local UNIQUE_ID = "1397446476" -- 'SKWL'
local NAMES = { "Gain", "HPF", "Input", "Grid Current", "Treble", "Pickup", "Transistor",
                "Stereo", "", "Effect" }
local DEFAULTS = { 0.6, 1.0, 0.5, 0.0, 1.0, 0.5, 0.0, 1.0, 0.0, 1.0 }
local GAIN, STEREO, EFFECT = 0, 7, 9
local GAIN_DB_PER_UNIT = 70 -- the Gain display runs from -50 dB at 0 to +20 dB at 1

local function report(...)
  local parts = {}
  for _, v in ipairs({ ... }) do parts[#parts + 1] = tostring(v) end
  io.stderr:write("ardour session: " .. table.concat(parts, " ") .. "\n")
end
local function check(ok, ...)
  if not ok then
    local parts = {}
    for _, v in ipairs({ ... }) do parts[#parts + 1] = tostring(v) end
    error("ardour session: FAIL " .. table.concat(parts, " "), 0)
  end
end
local function near(a, b, tolerance) return math.abs(a - b) <= tolerance end
-- Float parameters travel as single precision: 0.6 comes back as 0.60000002384186.
local function same_value(a, b) return near(a, b, 1e-6) end

local dir = os.getenv("SPARKWELL_SESSION_DIR")
local plugin_copy = os.getenv("SPARKWELL_PLUGIN_COPY")
check(dir and plugin_copy, "SPARKWELL_SESSION_DIR and SPARKWELL_PLUGIN_COPY must be set")

check(AudioEngine:set_backend("None (Dummy)", "", ""), "no \"None (Dummy)\" audio backend")
check(AudioEngine:set_device_name("Sine Wave") == 0, "the dummy backend has no \"Sine Wave\" input")
AudioEngine:set_sample_rate(48000)
AudioEngine:set_buffer_size(256)
check(create_session(dir, "sparkwell", 48000), "cannot create a session in", dir)

-- Ardour's LXVST list: exactly one entry, ours, with the identity the scanner stored.
local listed = {}
for info in ARDOUR.LuaAPI.list_plugins():iter() do
  if info.type == ARDOUR.PluginType.LXVST then listed[#listed + 1] = info end
end
check(#listed == 1, "Ardour lists", #listed, "LXVST plug-ins instead of one")
local info = listed[1]
report("listed:", info.name, "by", info.creator, "id", info.unique_id, "at", info.path)
check(info.name == "Sparkwell x64" and info.creator == "Quillane" and
      info.unique_id == UNIQUE_ID and info.path == plugin_copy,
      "Ardour lists", info.name, info.creator, info.unique_id, info.path)

-- A stereo track that listens to the backend's first two inputs, and nothing else.
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
local track = new_track("Guitar")

-- Peak level of each output channel (dBFS) of each given track over 0.35 s, after 0.15 s
-- for the change to settle. Each channel carries one sine in "Stereo" mode, so its output
-- is periodic and the peak is steady.
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
local function levels() return levels_of({ track })[1] end
local function show(l) return string.format("%.3f / %.3f dBFS", l[1], l[2]) end
-- Finite, audible and short of absurd: a NaN fails every comparison.
local function check_sane(l, what)
  check(l[1] > -100 and l[1] < 24 and l[2] > -100 and l[2] < 24, what, "out of any sane range:",
        show(l))
end
local function same_levels(a, b, tolerance)
  return near(a[1], b[1], tolerance) and near(a[2], b[2], tolerance)
end

local input = levels()
-- On a loaded machine the backend's first cycles may come after the first wait: measure again
-- until the track carries signal (the check below still demands the right level).
for _ = 1, 20 do
  if input[1] > -100 and input[2] > -100 then break end
  input = levels()
end
report("track without the plug-in:", show(input))
-- A 0.12589 sine table; the shortest tables (near 9.6 kHz) miss its crest by up to 1.25 dB.
check(near(input[1], -18, 1.5) and near(input[2], -18, 1.5),
      "the track does not carry the dummy backend's -18 dBFS sines:", show(input))

-- Insert by unique ID, as a session file names it.
local proc = ARDOUR.LuaAPI.new_plugin(Session, UNIQUE_ID, ARDOUR.PluginType.LXVST, "")
check(not proc:isnil(), "Ardour cannot instantiate LXVST", UNIQUE_ID)
check(track:add_processor_by_index(proc, 0, nil, true) == 0, "Ardour refuses to insert the plug-in")
local plugin = proc:to_insert():plugin(0)
check(plugin:name() == "Sparkwell x64" and plugin:maker() == "Quillane" and
      plugin:unique_id() == UNIQUE_ID, "the instance calls itself", plugin:name(), plugin:maker(),
      plugin:unique_id())
check(plugin:parameter_count() == #NAMES, "Ardour sees", plugin:parameter_count(), "parameters")

local function param(i)
  local value, refs = ARDOUR.LuaAPI.get_processor_param(proc, i, true)
  check(refs[3], "Ardour has no control for parameter", i)
  return value
end
local function set_param(i, value)
  check(ARDOUR.LuaAPI.set_processor_param(proc, i, value), "Ardour cannot set parameter", i)
  check(same_value(param(i), value), "parameter", i, "set to", value, "reads back", param(i))
end

-- Names come from effGetParamName, defaults from getParameter right after loading.
for i = 0, #NAMES - 1 do
  local _, refs = plugin:get_parameter_descriptor(i, ARDOUR.ParameterDescriptor())
  local desc = refs[2]
  check(desc.label == NAMES[i + 1], "parameter", i, "is called '" .. desc.label .. "'")
  check(same_value(desc.normal, DEFAULTS[i + 1]) and same_value(param(i), DEFAULTS[i + 1]),
        "parameter", i, "starts at", desc.normal, "/", param(i), "instead of", DEFAULTS[i + 1])
end

set_param(STEREO, 0.0)
local processed = levels()
report("processed, defaults in \"Stereo\":", show(processed))
check_sane(processed, "the processed output is")

-- The output gain is the last stage: moving Gain moves the whole output by 70 dB per unit.
for _, gain in ipairs({ 0.0, 1.0 }) do
  set_param(GAIN, gain)
  local l = levels()
  local expected = GAIN_DB_PER_UNIT * (gain - DEFAULTS[GAIN + 1])
  report(string.format("Gain %.1f: %s, %+.3f / %+.3f dB (expected %+.1f)", gain, show(l),
                       l[1] - processed[1], l[2] - processed[2], expected))
  check(near(l[1] - processed[1], expected, 0.25) and near(l[2] - processed[2], expected, 0.25),
        "Gain", gain, "does not move the output by", expected, "dB")
end
set_param(GAIN, DEFAULTS[GAIN + 1])

-- Effect off in "Stereo" passes the inputs through untouched, as Ardour's own bypass does.
set_param(EFFECT, 0.0)
local effect_off = levels()
proc:deactivate()
local deactivated = levels()
proc:activate()
report("Effect off:", show(effect_off), " deactivated in Ardour:", show(deactivated))
check(same_levels(effect_off, input, 0.01) and same_levels(deactivated, input, 0.01),
      "the bypass is not the input:", show(effect_off), show(deactivated), show(input))

-- After Ardour's deactivate / activate (suspend and resume) the sound is the same as before.
set_param(EFFECT, 1.0)
local resumed = levels()
report("Effect on again:", show(resumed))
check(same_levels(resumed, processed, 0.05), "processing after resume differs:", show(resumed),
      "before:", show(processed))

-- A setting away from every default, with the transport rolling, saved with the session.
local setting = { 0.45, 0.8, 0.6, 0.3, 0.25, 0.7, 1.0, 0.0, 0.0, 1.0 }
for i = 0, #setting - 1 do
  if i ~= 8 then set_param(i, setting[i + 1]) end
end
Session:request_roll(ARDOUR.TransportRequestSource.TRS_UI)
local rolling = levels()
check(Session:transport_rolling(), "the transport does not roll")
report("own setting, transport rolling:", show(rolling))
check_sane(rolling, "the output while rolling is")
check(Session:save_state("", false, false, false, false, false) == 0, "the session cannot be saved")
close_session()

check(load_session(dir, "sparkwell"), "the saved session does not load")
local route = Session:route_by_name("Guitar")
check(not route:isnil(), "the track is gone after loading")
proc = route:nth_plugin(0)
check(not proc:isnil(), "the plug-in is gone after loading")
plugin = proc:to_insert():plugin(0)
check(plugin:unique_id() == UNIQUE_ID and plugin:name() == "Sparkwell x64",
      "after loading the track holds", plugin:name(), plugin:unique_id())
for i = 0, #setting - 1 do
  check(same_value(param(i), setting[i + 1]), "parameter", i, "came back as", param(i),
        "instead of", setting[i + 1])
end
track = route:to_track()

-- The engine restarted with new sine frequencies, so the loaded instance is heard beside a
-- fresh one that Ardour sets to the same values.
local reference = new_track("Reference")
proc = ARDOUR.LuaAPI.new_plugin(Session, UNIQUE_ID, ARDOUR.PluginType.LXVST, "")
check(not proc:isnil() and reference:add_processor_by_index(proc, 0, nil, true) == 0,
      "Ardour cannot insert a second instance")
for i = 0, #setting - 1 do
  if i ~= 8 then set_param(i, setting[i + 1]) end
end
local both = levels_of({ track, reference })
report("after save, close and load:", show(both[1]), " fresh instance:", show(both[2]))
check_sane(both[1], "the loaded instance's output is")
check(same_levels(both[1], both[2], 0.05),
      "the loaded instance sounds different from a fresh one with the same values:",
      show(both[1]), show(both[2]))
close_session()
report("session checks passed")
