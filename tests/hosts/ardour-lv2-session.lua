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

local kit = dofile(debug.getinfo(1, "S").source:match("^@(.*)/") .. "/ardour-session-kit.lua")(
  "ardour lv2 session", 1e-5)
local report, check, near, same_value = kit.report, kit.check, kit.near, kit.same_value
local new_track, levels_of, show = kit.new_track, kit.levels_of, kit.show
local check_sane, same_levels = kit.check_sane, kit.same_levels
local param, set_param = kit.param, kit.set_param

local dir = os.getenv("SPARKWELL_SESSION_DIR")
check(dir, "SPARKWELL_SESSION_DIR must be set")
kit.create_session(dir)

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

local function insert(track, id, type)
  local proc = ARDOUR.LuaAPI.new_plugin(Session, id, type, "")
  check(not proc:isnil(), "Ardour cannot instantiate", id)
  check(track:add_processor_by_index(proc, 0, nil, true) == 0, "Ardour refuses to insert", id)
  return proc
end

local lv2_track = new_track("LV2")
local vst_track = new_track("VST")
local input = kit.input_levels(lv2_track)
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
